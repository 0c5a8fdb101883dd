C:\JWW\}–Ê\Ú×.JWW
3
Ú×.jûww
ï»¿C:\JWW\}–Ê\Ú×.jww
— –Ê
C:\JWW\}–Ê\•½–Ê1.jww /p
•\Ž¦
D:\ì‹Æ\’f–Ê.jww

1


c:\jww\lower.jww
 2
a
b
