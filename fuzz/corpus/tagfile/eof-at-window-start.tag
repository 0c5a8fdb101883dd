C:
0
\JWW\AJWW
7
C:\Jww
restoflinstofl:•\WW×.JWW
51
Ú×.jww}–Ê\
Ú×.JWW
3
Ú×2
‡ÚJ
1
\
1J4
2jww}–Ê\
Ú×.Jine
after the
Zw
restofline
aftèer the end
