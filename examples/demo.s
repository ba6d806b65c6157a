% A small survey script: run with  build/cli/vop-run examples/demo.s
x = [1 2 3; 4 5 6]
