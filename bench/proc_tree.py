#!/usr/bin/env python3
"""Cost of a process and all its descendants, read from /proc.

Usage: proc_tree.py PID
Prints one line: "<cpu ms> <pss KiB> <rss KiB> <processes> <cpu ms> <pss KiB> <uss KiB>": the
tree's, the root process's own, then the tree's private (unshared) memory. Here cpu is utime + stime of every
live process of the tree plus the cutime + cstime they collected from children already reaped,
and pss/rss come from /proc/<pid>/smaps_rollup. PROC_TREE_DETAIL=1 lists every process on
stderr. Exits 1 when PID is gone.
"""
import os
import sys


def stat_fields(pid):
    with open(f"/proc/{pid}/stat", "rb") as f:
        text = f.read().decode("latin-1")
    # The command name may hold blanks and parentheses: the fields start after the last ")".
    return text[text.rindex(")") + 2:].split()


def children_by_parent():
    children = {}
    for name in os.listdir("/proc"):
        if not name.isdigit():
            continue
        try:
            ppid = int(stat_fields(name)[1])
        except (OSError, ValueError, IndexError):
            continue  # ended while we looked
        children.setdefault(ppid, []).append(int(name))
    return children


def rollup(pid):
    pss = rss = uss = 0
    try:
        with open(f"/proc/{pid}/smaps_rollup") as f:
            for line in f:
                if line.startswith("Pss:"):
                    pss = int(line.split()[1])
                elif line.startswith("Rss:"):
                    rss = int(line.split()[1])
                elif line.startswith(("Private_Clean:", "Private_Dirty:")):
                    uss += int(line.split()[1])
    except OSError:
        pass
    return pss, rss, uss


def main():
    root = int(sys.argv[1])
    if not os.path.exists(f"/proc/{root}/stat"):
        return 1
    children = children_by_parent()
    tick_ms = 1000.0 / os.sysconf("SC_CLK_TCK")
    ticks = pss = rss = uss = count = 0
    root_ticks = root_pss = 0
    todo = [root]
    while todo:
        pid = todo.pop()
        todo.extend(children.get(pid, []))
        try:
            f = stat_fields(pid)
        except OSError:
            continue
        # Fields after the name: state=0, ppid=1, ..., utime=11, stime=12, cutime=13, cstime=14.
        own = int(f[11]) + int(f[12]) + int(f[13]) + int(f[14])
        ticks += own
        p, r, u = rollup(pid)
        if pid == root:
            root_ticks, root_pss = own, p
        if os.environ.get("PROC_TREE_DETAIL"):
            try:
                with open(f"/proc/{pid}/cmdline", "rb") as c:
                    args = c.read().replace(b"\0", b" ").decode("latin-1")[:90]
            except OSError:
                args = "?"
            print(f"  {pid:>7} {own * tick_ms:>8.0f} ms {p:>8} KiB  {args}", file=sys.stderr)
        pss += p
        rss += r
        uss += u
        count += 1
    print(f"{ticks * tick_ms:.0f} {pss} {rss} {count} {root_ticks * tick_ms:.0f} {root_pss} {uss}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
