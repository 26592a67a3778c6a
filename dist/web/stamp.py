#!/usr/bin/env python3
"""Writes the site folder: the page (index.html with the list of the game's files written into
it), its style and script, the program and the data files under names that carry a hash of their
content (so that a host may let browsers keep them for ever), the unhashed files (the web app
manifest, the icons) and the service worker, whose version is a hash of everything else.

    python3 stamp.py --site SITE --page dist/web --program build-web/program \
        --data <native>/web-data --template dist/web/sw.js.in [EXTRA_FILE ...]

The list the page reads (window.DrommelFiles) and the service worker's give each file its
address, its length and its SHA-256 (base64), so that neither ever starts or keeps a file that is
truncated or not the one this version expects.
"""
import argparse
import base64
import hashlib
import json
import os
import shutil


def sha256(data):
    return hashlib.sha256(data).digest()


def entry(url, data):
    return {"url": url, "size": len(data), "sha256": base64.b64encode(sha256(data)).decode()}


def hashed_copy(source, site, name):
    """Copies source into the site as name with the content's hash before the extension."""
    with open(source, "rb") as file:
        data = file.read()
    stem, ext = os.path.splitext(name)
    url = "%s.%s%s" % (stem, sha256(data).hex()[:10], ext)
    with open(os.path.join(site, url), "wb") as file:
        file.write(data)
    return entry(url, data)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--site", required=True)
    parser.add_argument("--page", required=True, help="the folder of index.html, page.js, style.css")
    parser.add_argument("--program", required=True, help="the folder of drommel.js and .wasm")
    parser.add_argument("--data", required=True, help="the native tree's web-data folder")
    parser.add_argument("--template", required=True, help="sw.js.in")
    parser.add_argument("extra", nargs="*", help="files copied as they are (manifest, icons)")
    args = parser.parse_args()

    site = args.site
    shutil.rmtree(site, ignore_errors=True)
    os.makedirs(site)
    shutil.copytree(os.path.join(args.data, "data"), os.path.join(site, "data"))
    with open(os.path.join(args.data, "files.json")) as file:
        data = json.load(file)

    code = {name: hashed_copy(os.path.join(args.program, name), site, name)
            for name in ("drommel.js", "drommel.wasm")}
    page = {name: hashed_copy(os.path.join(args.page, name), site, name)
            for name in ("page.js", "style.css")}
    plain = {}
    for source in args.extra:
        name = os.path.basename(source)
        shutil.copyfile(source, os.path.join(site, name))
        with open(source, "rb") as file:
            plain[name] = entry(name, file.read())

    # The version: every file's name and hash, and the service worker's template.
    digests = hashlib.sha256()
    with open(args.template, "rb") as file:
        template = file.read()
    digests.update(template)
    listed = [code[n] for n in sorted(code)] + [page[n] for n in sorted(page)] + \
        [plain[n] for n in sorted(plain)] + [data[p] for p in sorted(data)]
    for item in listed:
        digests.update(("%s %s\n" % (item["url"], item["sha256"])).encode())
    with open(os.path.join(args.page, "index.html"), "rb") as file:
        index = file.read().decode()
    digests.update(index.encode())
    version = digests.hexdigest()[:16]

    files = {"version": version, "code": code, "data": data}
    script = ('<script>window.DrommelFiles = %s;</script>\n<script src="%s"></script>' %
              (json.dumps(files, sort_keys=True, separators=(",", ":")), page["page.js"]["url"]))
    for old, new in (('<script src="page.js"></script>', script),
                     ('href="style.css"', 'href="%s"' % page["style.css"]["url"])):
        if old not in index:
            raise SystemExit("stamp: index.html has no %s" % old)
        index = index.replace(old, new)
    index_bytes = index.encode()
    with open(os.path.join(site, "index.html"), "wb") as file:
        file.write(index_bytes)

    # The service worker: the shell it keeps at installation (the page with its style and script,
    # the program, the manifest and the first icon) and every file it may keep, each checked.
    shell = [dict(entry("./", index_bytes))] + [page[n] for n in sorted(page)] + \
        [code[n] for n in sorted(code)] + [plain[n] for n in sorted(plain)
                                           if n.endswith(".webmanifest") or n == "icon-192.png"]
    known = {item["url"]: [item["size"], item["sha256"]] for item in listed + shell}
    known["index.html"] = known["./"]
    levels = {item["url"]: [path, item["level"]] for path, item in data.items()}
    worker = template.decode()
    for key, value in (("@DROMMEL_SITE_VERSION@", version),
                       ("@DROMMEL_SHELL@", json.dumps([item["url"] for item in shell])),
                       ("@DROMMEL_FILES@", json.dumps(known, sort_keys=True)),
                       ("@DROMMEL_DATA@", json.dumps(levels, sort_keys=True))):
        worker = worker.replace(key, value)
    with open(os.path.join(site, "sw.js"), "w") as file:
        file.write(worker)
    print("Site version %s: %s" % (version, site))


if __name__ == "__main__":
    main()
