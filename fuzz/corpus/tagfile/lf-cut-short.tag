C:\JWW\A.JWW
7
name
C:\JWW\a.jww
restofline
after the end
