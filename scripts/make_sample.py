#!/usr/bin/env python3
"""Writes samples/sample.smi: a short SAMI file with a STYLE block and Korean
cues, encoded in CP949 with CR LF line ends, as subtitle files for Korean
players usually are. Run from anywhere; the output is the same every time."""

import pathlib

# (start time in ms, text); None clears the screen with a blank cue.
CUES = [
    (1000, "겨울 아침, 작은 역에 눈이 내립니다."),
    (4000, None),
    (4500, "기차가 곧 도착합니다.<br>노란 선 뒤로 물러서 주세요."),
    (8200, None),
    (9000, "할머니, 짐은 제가 들어 드릴게요."),
    (12000, None),
    (12500, "고맙네, 젊은이. 서울까지 가는 길이라네."),
    (16000, None),
    (17000, "창밖으로 하얀 들판이 끝없이 펼쳐집니다."),
    (21000, None),
    (22500, "다음 역은 종착역입니다."),
    (25000, None),
]

HEAD = """<SAMI>
<HEAD>
<TITLE>Tembrel sample</TITLE>
<STYLE TYPE="text/css">
<!--
P { margin-left: 8pt; margin-right: 8pt; margin-top: 2pt; margin-bottom: 2pt;
    text-align: center; font-size: 20pt; font-family: Gulim, sans-serif;
    font-weight: normal; color: white; background-color: black; }
.KRCC { Name: Korean; lang: ko-KR; SAMIType: CC; }
#Normal { Name: Normal; }
-->
</STYLE>
</HEAD>
<BODY>
"""

TAIL = """</BODY>
</SAMI>
"""


def body_lines():
    for start, text in CUES:
        if text is None:
            yield "<SYNC Start=%d><P Class=KRCC>&nbsp;" % start
        else:
            yield "<SYNC Start=%d><P Class=KRCC>" % start
            yield text


def main():
    text = HEAD + "".join(line + "\n" for line in body_lines()) + TAIL
    data = text.replace("\n", "\r\n").encode("cp949")
    target = pathlib.Path(__file__).resolve().parent.parent / "samples" / "sample.smi"
    target.write_bytes(data)
    print("wrote %s (%d bytes)" % (target, len(data)))


if __name__ == "__main__":
    main()
