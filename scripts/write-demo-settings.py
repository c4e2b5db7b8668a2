#!/usr/bin/python3
"""Writes the settings file OrvantH.ini of the demo: one connection profile under [Adatbazis].

    write-demo-settings.py DATA_FOLDER PORT [DATABASE]

The file is what a Windows workstation writes: code page 1250, CR LF line ends, the profile
scrambled as the program stores it (three filler characters, then every byte plus one followed by
a filler; fillers are drawn from ! to W, so the same profile differs at every write).
"""
import os
import random
import sys


def encode_constr(plain: str) -> str:
    data = plain.encode("cp1250")
    if 255 in data:
        # byte 255 has no scrambled form (its code plus one does not fit in a byte)
        raise ValueError("a profile cannot hold the character ˙ (byte 255)")
    rng = random.Random()  # seeded from the clock and the system, like every write of the program
    filler = lambda: bytes([33 + rng.randint(0, 54)])
    out = filler() + filler() + filler()
    for c in data:
        out += bytes([c + 1]) + filler()
    return out.decode("cp1250")


def decode_constr(stored: str) -> str:
    data = stored.encode("cp1250")
    if len(data) <= 3:
        return ""
    return bytes(c - 1 for c in data[3::2]).decode("cp1250")


def main() -> int:
    if len(sys.argv) not in (3, 4):
        print(__doc__.strip(), file=sys.stderr)
        return 2
    folder, port = sys.argv[1], int(sys.argv[2])
    database = sys.argv[3] if len(sys.argv) == 4 else "orvanth"
    plain = f"{database};127.0.0.1;{port};root;;Demó adatbázis"
    stored = encode_constr(plain)
    assert decode_constr(stored) == plain
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, "OrvantH.ini")
    with open(path, "w", encoding="cp1250", newline="\r\n") as f:
        f.write("[Adatbazis]\n")
        f.write(f"ConStr1={stored}\n")
    print(f"{path}: profile \"{plain}\"")
    return 0


if __name__ == "__main__":
    sys.exit(main())
