#!/usr/bin/env python3
"""Copies the help page with every local <img src> put inside it as a data: address, so the
page is one file that works beside the exe, in the zip and in the installed folder alike."""
import base64
import pathlib
import re
import sys

TYPES = {".png": "image/png", ".jpg": "image/jpeg", ".gif": "image/gif", ".svg": "image/svg+xml"}


def main() -> int:
    if len(sys.argv) != 3:
        print("usage: inline_help.py SOURCE.html OUTPUT.html", file=sys.stderr)
        return 2
    source = pathlib.Path(sys.argv[1])
    page = source.read_text(encoding="utf-8")
    missing = []

    def inline(match: re.Match) -> str:
        address = match.group(2)
        if re.match(r"^[a-z]+:", address):
            return match.group(0)  # already an address of its own
        image = (source.parent / address).resolve()
        kind = TYPES.get(image.suffix.lower())
        if kind is None or not image.is_file():
            missing.append(address)
            return match.group(0)
        data = base64.b64encode(image.read_bytes()).decode("ascii")
        return f'{match.group(1)}"data:{kind};base64,{data}"'

    page = re.sub(r'(<img\b[^>]*?\bsrc=)"([^"]+)"', inline, page)
    if missing:
        # A page that would show broken pictures must not be shipped.
        print(f"{source}: images not found: {', '.join(missing)}", file=sys.stderr)
        return 1
    out = pathlib.Path(sys.argv[2])
    out.write_text(page, encoding="utf-8", newline="\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
