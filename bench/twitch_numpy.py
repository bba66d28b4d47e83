#!/usr/bin/python3
"""The twitch sum as a researcher would write it with NumPy (float64, vectorised), over the
motor units of a project file: the baseline that bench_force's figures are compared with.

    bench/twitch_numpy.py SARVANTA_CLI PROJECT.svt

Reads the project through `sarvanta-cli dump`, sums every motor unit's twitches on the grid
0 .. 1000 ms in steps of 1 (the grid of bench_force) and prints started (sample, impulse) pairs
(start = impulse time + LeadT < sample time) per second of processor time, best of five sweeps;
the last two lines are for bench_force to read.
"""
import json
import subprocess
import sys
import time

import numpy as np

GRID = np.arange(1001, dtype=np.float64)


def extended(value):
    if isinstance(value, dict):
        return float(value.get("ext", "nan")) if "ext" in value else float("nan")
    return float(value)


def motor_units(record, found):
    if record.get("class") == "TMotorUnit":
        unit = {"ImpArray": []}
        for prop in record["properties"]:
            if "value" in prop:
                value = prop["value"]
                if isinstance(value, dict) and "list" in value:
                    unit[prop["name"]] = [extended(v) for v in value["list"]]
                elif prop["name"] != "Descr":
                    unit[prop["name"]] = extended(value)
        found.append(unit)
    for prop in record.get("properties", []):
        for child in prop.get("records", []) + prop.get("four_records", []):
            motor_units(child, found)
        if "record" in prop:
            motor_units(prop["record"], found)
    return found


def shape_exponent(tc, tr):
    return np.log(2.0) * tc / (tc * np.log(tc / tr) + tr - tc)


def unit_force(unit, grid):
    times = np.asarray(unit["ImpArray"], dtype=np.float64)
    if times.size == 0:
        return np.zeros_like(grid), 0
    g = lambda name: unit.get(name, 0.0)
    tc, tf, tref = g("Tc"), g("Tf"), g("Tref")
    k = np.arange(times.size) - np.searchsorted(times, times - tf, side="left")
    peaks = g("Fmax") + (g("Fmin") - g("Fmax")) * (k * tref / tf) ** g("Pow")
    tau = grid[:, None] - (times + g("LeadT"))[None, :]
    started = tau > 0
    m = shape_exponent(tc, g("Tr"))
    with np.errstate(all="ignore"):
        twitch = peaks * (tau / tc) ** m * np.exp(m - tau * m / tc)
    return np.where(started, twitch, 0.0).sum(axis=1), int(started.sum())


def main():
    cli, project = sys.argv[1], sys.argv[2]
    dump = json.loads(subprocess.run([cli, "dump", project], check=True, capture_output=True,
                                     text=True).stdout)
    units = motor_units(dump["root"], [])
    impulses = sum(len(u["ImpArray"]) for u in units)
    best = float("inf")
    started = 0
    for _ in range(5):
        begin = time.process_time()
        started = sum(unit_force(u, GRID)[1] for u in units)
        best = min(best, time.process_time() - begin)
    print(f"NumPy float64 twitch sum over {len(units)} motor units, {impulses} impulses, "
          f"{GRID.size} grid points")
    print(f"{'started pairs/s':>16} {started / best / 1e6:10.2f}M")
    print(f"started_pairs {started}")
    print(f"started_pairs_per_second {started / best}")


if __name__ == "__main__":
    main()
