' Pipe flow: Reynolds number, pipe cross-section, Darcy-Weisbach pressure drop.
' Functions whose names end in "Ask" ask for their values through zelIO; the
' others take them as arguments. Quantity ids (zelIO.SetUnitId):
' 2 Length, 7 Velocity, 8 Volume Rate, 9 Density, 10 Pressure, 11 Viscosity.

Const FLU_PI = 3.14159265358979

' Asks for one number. The unit conversion area starts on quantity uid with
' unit subIU selected, so a value known in another unit can be converted into
' the one asked for. Returns Empty when the user cancels.
Function FluAskNumber(prompt, defaultValue, title, uid, subIU)
  Dim answer
  zelIO.SetUnitId uid, subIU
  Do
    answer = zelIO.getData(prompt, defaultValue, title)
    If answer = "" Then
      FluAskNumber = Empty
      Exit Function
    End If
    If IsNumeric(answer) Then Exit Do
    prompt = "Not a number: " & answer & vbCrLf & prompt
    defaultValue = ""
  Loop
  FluAskNumber = CDbl(answer)
End Function

' Inner cross-section of a pipe [m2] from its inner diameter [mm].
Function PipeArea(innerDiameterMm)
  Dim d
  d = innerDiameterMm / 1000
  PipeArea = FLU_PI * d * d / 4
End Function

' Reynolds number from density [kg/m3], velocity [m/s], inner diameter [mm]
' and dynamic viscosity [cP].
Function Reynolds(density, velocity, innerDiameterMm, viscosityCp)
  Reynolds = density * velocity * (innerDiameterMm / 1000) / (viscosityCp / 1000)
End Function

' Darcy friction factor: 64/Re when laminar, else the Swamee-Jain fit of the
' Colebrook equation for relative roughness e/D.
Function DarcyFriction(re, roughnessMm, innerDiameterMm)
  If re <= 0 Then
    DarcyFriction = 0
  ElseIf re < 2300 Then
    DarcyFriction = 64 / re
  Else
    Dim t
    t = Log(roughnessMm / innerDiameterMm / 3.7 + 5.74 / re ^ 0.9) / Log(10)
    DarcyFriction = 0.25 / (t * t)
  End If
End Function

' Pressure drop [Pa] of a flow [m3/h] through a straight pipe.
Function PressureDrop(flowM3h, innerDiameterMm, lengthM, density, viscosityCp, roughnessMm)
  Dim v, re, f
  v = flowM3h / 3600 / PipeArea(innerDiameterMm)
  re = Reynolds(density, v, innerDiameterMm, viscosityCp)
  f = DarcyFriction(re, roughnessMm, innerDiameterMm)
  PressureDrop = f * (lengthM / (innerDiameterMm / 1000)) * density * v * v / 2
End Function

' Asks for an inner diameter, offering common steel pipe sizes (Sch 40);
' 50A is the default, so that Enter alone gives a usual size.
Function FluAskDiameter(title)
  zelIO.ClearListItem
  zelIO.AddListItem 27.2
  zelIO.AddListItem 52.7
  zelIO.AddListItem 102.3
  zelIO.AddListItem 154.1
  zelIO.AddListItem 202.7
  FluAskDiameter = FluAskNumber("Pipe inner diameter [mm]" & vbCrLf & _
                                "(25A 27.2, 50A 52.7, 100A 102.3, 150A 154.1, 200A 202.7)", _
                                52.7, title, 2, 1)
  zelIO.ClearListItem
End Function

Function PipeAreaAsk()
  Dim d
  d = FluAskDiameter("Pipe cross-section")
  If IsEmpty(d) Then Exit Function
  PipeAreaAsk = PipeArea(d)
End Function

Function ReynoldsAsk()
  Dim rho, v, d, mu
  Const title = "Reynolds number"
  zelIO.ClearListItem
  rho = FluAskNumber("Density [kg/m3]", 998.2, title, 9, 0)
  If IsEmpty(rho) Then Exit Function
  v = FluAskNumber("Mean velocity [m/s]", 1, title, 7, 0)
  If IsEmpty(v) Then Exit Function
  d = FluAskDiameter(title)
  If IsEmpty(d) Then Exit Function
  mu = FluAskNumber("Dynamic viscosity [cP]", 1.002, title, 11, 1)
  If IsEmpty(mu) Then Exit Function
  ReynoldsAsk = Reynolds(rho, v, d, mu)
End Function

' Pressure drop with the result in a unit picked from a list.
Function PressureDropAsk()
  Dim q, d, l, rho, mu, e, dp, unitName
  Const title = "Pressure drop (Darcy-Weisbach)"
  zelIO.ClearListItem
  q = FluAskNumber("Flow rate [m3/h]", 10, title, 8, 1)
  If IsEmpty(q) Then Exit Function
  d = FluAskDiameter(title)
  If IsEmpty(d) Then Exit Function
  l = FluAskNumber("Straight pipe length [m]", 100, title, 2, 0)
  If IsEmpty(l) Then Exit Function
  rho = FluAskNumber("Density [kg/m3]", 998.2, title, 9, 0)
  If IsEmpty(rho) Then Exit Function
  mu = FluAskNumber("Dynamic viscosity [cP]", 1.002, title, 11, 1)
  If IsEmpty(mu) Then Exit Function
  zelIO.AddListItem 0.045
  zelIO.AddListItem 0.0015
  zelIO.AddListItem 0.26
  e = FluAskNumber("Absolute roughness [mm]" & vbCrLf & _
                   "(commercial steel 0.045, drawn tubing 0.0015, cast iron 0.26)", _
                   0.045, title, 2, 1)
  zelIO.ClearListItem
  If IsEmpty(e) Then Exit Function
  dp = PressureDrop(q, d, l, rho, mu, e)

  zelIO.AddListItem "kPa"
  zelIO.AddListItem "bar"
  zelIO.AddListItem "psi"
  zelIO.AddListItem "mH2O"
  unitName = zelIO.getData("Unit of the result", "kPa", title)
  zelIO.ClearListItem
  Select Case LCase(unitName)
    Case "bar":  PressureDropAsk = dp / 100000
    Case "psi":  PressureDropAsk = dp / 6894.757
    Case "mh2o": PressureDropAsk = dp / 9806.65
    Case "pa":   PressureDropAsk = dp
    Case Else:   PressureDropAsk = dp / 1000
  End Select
End Function
