// What a person sees of a cue: its SAMI markup taken out of the UTF-8 text
// between one sync tag and the next.
#pragma once

#include <string>

struct CueText {
    std::string text;       // one line: tags out, <br> a blank, entities read, blanks joined
    std::string className;  // the first class="..." of the cue's tags, or ""
};

// `segment` begins just behind the sync tag's time, so it opens with the rest
// of the sync tag, which is skipped. &nbsp; is a blank: a cue of only &nbsp;
// has an empty text. Control characters become blanks, so that the text is
// one line that a terminal shows as it is.
void ReadCueText(const std::string& segment, CueText* cue);

// The class ReadCueText finds in `segment`, without the text. The markup that
// decides it ('<', '>', "<!--", "-->", blanks, '=', quotation marks and the
// word class after a blank) is ASCII that no byte encoding takes into a
// character, so for UTF-8, CP949 and Windows-1252 the class read from a
// segment's own bytes, decoded, is the class of the decoded segment.
std::string ReadCueClass(const std::string& segment);
