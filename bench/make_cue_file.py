#!/usr/bin/env python3
"""Writes a SAMI file of many short cues for measuring list: a HEAD with a
STYLE block, then a cue every 40 to 120 bytes, Korean in CP949 (class KRCC),
with --bilingual every other cue English (class ENCC), CR LF line ends.
Usage: make_cue_file.py PATH MEBIBYTES [--bilingual] [--seed=N]"""
import random
import sys

SYLLABLES = "가나다라마바사아자차카타파하안녕하세요그런데정말좋아요"
WORDS = ["well", "then", "really", "good", "night", "yes", "where", "are", "you", "going"]


def korean_line(rng):
    words = ["".join(rng.choice(SYLLABLES) for _ in range(rng.randint(1, 4)))
             for _ in range(rng.randint(1, 5))]
    return " ".join(words).encode("cp949")


def english_line(rng):
    return " ".join(rng.choice(WORDS) for _ in range(rng.randint(2, 7))).encode("ascii")


def main():
    args = [a for a in sys.argv[1:] if not a.startswith("--")]
    if len(args) != 2:
        sys.exit(__doc__)
    path, size = args[0], int(args[1]) << 20
    bilingual = "--bilingual" in sys.argv
    seed = next((int(a[7:]) for a in sys.argv if a.startswith("--seed=")), 42)
    rng = random.Random(seed)
    head = (b"<SAMI>\r\n<HEAD>\r\n<TITLE>list</TITLE>\r\n<STYLE TYPE=\"text/css\">\r\n<!--\r\n"
            b"P { margin-left:8pt; margin-right:8pt; }\r\n.KRCC { Name:Korean; lang:ko-KR; }\r\n"
            b".ENCC { Name:English; lang:en-US; }\r\n-->\r\n</STYLE>\r\n</HEAD>\r\n<BODY>\r\n")
    parts = [head]
    written = len(head)
    time = 1000
    cue = 0
    while written < size:
        english = bilingual and cue % 2 == 1
        text = english_line(rng) if english else korean_line(rng)
        if rng.random() < 0.3:
            text = b"<font color=#fcc5ca>" + text + b"</font>"
        if rng.random() < 0.2:
            text += b"<br>" + (english_line(rng) if english else korean_line(rng))
        if not english:
            time += rng.randint(800, 5000)
        line = (b"<SYNC Start=%d><P Class=%s>" % (time, b"ENCC" if english else b"KRCC")
                + text + b"\r\n")
        if rng.random() < 0.4:
            line += b"<SYNC Start=%d><P Class=KRCC>&nbsp;\r\n" % (time + rng.randint(500, 700))
        parts.append(line)
        written += len(line)
        cue += 1
    parts.append(b"</BODY>\r\n</SAMI>\r\n")
    with open(path, "wb") as out:
        out.write(b"".join(parts))


if __name__ == "__main__":
    main()
