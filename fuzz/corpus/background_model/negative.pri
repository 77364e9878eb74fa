title
1
-10 100
