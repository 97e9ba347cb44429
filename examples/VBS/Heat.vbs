' Heat exchange: log-mean temperature difference and sensible heat duty.
' Quantity ids (zelIO.SetUnitId): 0 Temperature, 1 Weight, 5 Time,
' 14 Power, 15 Heat Capacity.

' Log-mean temperature difference of a counter-current exchanger [K].
Function LMTD(hotIn, hotOut, coldIn, coldOut)
  Dim dt1, dt2
  dt1 = hotIn - coldOut
  dt2 = hotOut - coldIn
  If dt1 <= 0 Or dt2 <= 0 Then
    LMTD = Null
  ElseIf Abs(dt1 - dt2) < 0.000001 Then
    LMTD = dt1
  Else
    LMTD = (dt1 - dt2) / Log(dt1 / dt2)
  End If
End Function

' Sensible heat duty [kW] of a mass flow [kg/h] with heat capacity
' [kJ/kg/K] warmed or cooled by dT [K].
Function HeatDuty(massFlowKgh, cpKJkgK, deltaT)
  HeatDuty = massFlowKgh / 3600 * cpKJkgK * deltaT
End Function

Function HtAskNumber(prompt, defaultValue, title, uid, subIU)
  Dim answer
  zelIO.SetUnitId uid, subIU
  answer = zelIO.getData(prompt, defaultValue, title)
  If IsNumeric(answer) Then
    HtAskNumber = CDbl(answer)
  Else
    HtAskNumber = Empty
  End If
End Function

Function HeatDutyAsk()
  Dim m, cp, dt
  Const title = "Sensible heat duty"
  zelIO.ClearListItem
  m = HtAskNumber("Mass flow [kg/h]", 1000, title, 1, 1)
  If IsEmpty(m) Then Exit Function
  zelIO.AddListItem 4.18
  zelIO.AddListItem 2.0
  zelIO.AddListItem 1.005
  cp = HtAskNumber("Heat capacity [kJ/kg/K]" & vbCrLf & "(water 4.18, light oil 2.0, air 1.005)", _
                   4.18, title, 15, 1)
  zelIO.ClearListItem
  If IsEmpty(cp) Then Exit Function
  dt = HtAskNumber("Temperature change [K]", 10, title, 0, 1)
  If IsEmpty(dt) Then Exit Function
  HeatDutyAsk = HeatDuty(m, cp, dt)
End Function
