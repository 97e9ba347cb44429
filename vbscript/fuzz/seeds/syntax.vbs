If If Then Else ((((((( [ &H & #1/ "x
Sub Sub : End Function : Class : Property Get
For Each In Next : Select Case : Case Is < : End Select
