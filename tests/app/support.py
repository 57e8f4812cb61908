"""What the end-to-end tests share: failures collected rather than raised, so that one run reports
every broken expectation, and programs run with their output captured.

    from support import expect, finish, run
"""
import subprocess
import sys

failures = []


def expect(cond, what):
    """Notes `what` as a failure unless `cond` holds; returns `cond`."""
    if not cond:
        failures.append(what)
    return cond


def run(*args, timeout=600, **kwargs):
    """The finished process, its output captured as text."""
    return subprocess.run(list(args), capture_output=True, text=True, timeout=timeout, **kwargs)


def finish(limit=40):
    """Prints the failures (the first `limit`) and exits 1 when there are any."""
    for f in failures[:limit]:
        print("FAIL:", f)
    sys.exit(1 if failures else 0)
