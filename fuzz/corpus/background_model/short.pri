title
2
10 100 1 1 1
