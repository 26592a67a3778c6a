#!/usr/bin/env python3
"""The browser's data folder, made from the game's: every image recompressed losslessly (optipng:
the same pixels, smaller files), every sound effect as Ogg Vorbis (oggenc, quality 3), each file
under a name that carries a hash of its content, and files.json, which lists them for the page
and its service worker:

    {"data/common/icons-hd.png": {"url": "data/common/icons-hd.1a2b3c4d5e.png", "size": 1234,
                                  "sha256": "<base64>", "level": 2, "use": "menu"}, ...}

"level" is the image level the file belongs to (0: every level); "use" says when the game first
needs it ("menu", "play", "unused", from `drommel_assetgen --list`; "other" for a file of the data
folder that the asset list does not name). The conversions are kept in a cache folder by the
hash of their input, so a rebuild converts only what changed.

    python3 webdata.py --data build/data --list assets.txt --out build/web-data --cache DIR
"""
import argparse
import base64
import concurrent.futures
import hashlib
import json
import os
import shutil
import subprocess
import sys
import time

PNG_TOOL = ["optipng", "-quiet", "-o2", "-strip", "all"]
OGG_TOOL = ["oggenc", "--quiet", "-q", "3"]


def digest(data):
    return hashlib.sha256(data).digest()


def convert(source, kind, cache):
    """The converted bytes of one file, from the cache when it holds them."""
    with open(source, "rb") as file:
        data = file.read()
    tool = PNG_TOOL if kind == "png" else OGG_TOOL
    key = hashlib.sha256(" ".join(tool).encode() + b"\0" + data).hexdigest()
    cached = os.path.join(cache, key[:2], key + "." + kind)
    if os.path.exists(cached):
        with open(cached, "rb") as file:
            return file.read(), False
    os.makedirs(os.path.dirname(cached), exist_ok=True)
    work = cached + ".%d.work" % os.getpid()
    if kind == "png":
        shutil.copyfile(source, work)
        subprocess.run(PNG_TOOL + [work], check=True, timeout=600)
    else:
        subprocess.run(OGG_TOOL + ["-o", work, source], check=True, timeout=600)
    os.replace(work, cached)
    with open(cached, "rb") as file:
        return file.read(), True


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--data", required=True, help="the game's data folder")
    parser.add_argument("--list", required=True, help="drommel_assetgen --list's output")
    parser.add_argument("--out", required=True)
    parser.add_argument("--cache", required=True)
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 1)
    args = parser.parse_args()
    begin = time.monotonic()

    uses = {}
    with open(args.list) as file:
        for line in file:
            parts = line.split()
            if len(parts) == 3:
                uses["data/" + parts[2]] = (parts[0], int(parts[1]))

    jobs = []
    for folder, _, names in os.walk(args.data):
        for name in sorted(names):
            if name.startswith("."):
                continue
            source = os.path.join(folder, name)
            path = "data/" + os.path.relpath(source, args.data).replace(os.sep, "/")
            stem, ext = os.path.splitext(path)
            if ext == ".png":
                jobs.append((source, path, "png"))
            elif ext == ".wav":
                jobs.append((source, stem + ".ogg", "ogg"))
            else:
                jobs.append((source, path, None))

    shutil.rmtree(args.out, ignore_errors=True)
    files = {}
    converted = 0
    with concurrent.futures.ThreadPoolExecutor(max(1, args.jobs)) as pool:
        def run(job):
            source, path, kind = job
            if kind is None:
                with open(source, "rb") as file:
                    return job, file.read(), False
            data, fresh = convert(source, kind, args.cache)
            return (job,) + (data, fresh)
        for (source, path, kind), data, fresh in pool.map(run, jobs):
            converted += fresh
            stem, ext = os.path.splitext(path)
            hashed = digest(data)
            url = "%s.%s%s" % (stem, hashed.hex()[:10], ext)
            target = os.path.join(args.out, url)
            os.makedirs(os.path.dirname(target), exist_ok=True)
            with open(target, "wb") as file:
                file.write(data)
            listed = uses.get(path) or uses.get(stem + ".wav")
            use, level = listed if listed else ("other", 0)
            files[path] = {"url": url, "size": len(data),
                           "sha256": base64.b64encode(hashed).decode(), "level": level,
                           "use": use}
    missing = sorted(set(uses) - set(files) - {p[:-4] + ".wav" for p in files})
    if missing:
        sys.exit("webdata: the data folder lacks %s" % ", ".join(missing))
    with open(os.path.join(args.out, "files.json"), "w") as file:
        json.dump(files, file, indent=0, sort_keys=True)
    print("webdata: %d files, %d converted now, %.1f s" % (len(files), converted,
                                                           time.monotonic() - begin))


if __name__ == "__main__":
    main()
