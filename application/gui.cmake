# The program (widgets).
