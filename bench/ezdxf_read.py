#!/usr/bin/python3
"""Times ezdxf reading a drawing: ezdxf_read.py FILE [RUNS]; prints {"mb_per_s": ..., "seconds": ...}."""
import json
import os
import sys
import time

import ezdxf

path = sys.argv[1]
runs = int(sys.argv[2]) if len(sys.argv) > 2 else 1
best = None
for _ in range(runs):
    t = time.perf_counter()
    ezdxf.readfile(path)
    dt = time.perf_counter() - t
    best = dt if best is None else min(best, dt)
size = os.path.getsize(path)
print(json.dumps({"seconds": best, "mb_per_s": size / 1e6 / best}))
