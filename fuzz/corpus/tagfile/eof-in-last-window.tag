C:\JWW\A.JWW
7
name
C:\Jww
restofline
after the end
