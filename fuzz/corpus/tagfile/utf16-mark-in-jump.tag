CC:•C:\JWW\DETAIL.JWW
3
detail.jww
юя\JWW\detail.jww
Back
C:\JWW\plan1.jw
plan1.jww
C:\JWW\plan1.jww
Detail
C:\J•\WW\detail.jww
Ч.jww}–К\
ЪЌЧТ®W3
‡ЪJ
1
\
1J4
2(№c
Г