// What a JavaScript user writes to re-time a SAMI file with the npm package
// subsrt-ts: parse, resync by an offset, build again as "smi".
// Usage: node subsrt_resync.mjs IN OUT OFFSET_MS
//
// The file is CP949. Read as "latin1", every byte becomes one character
// (U+0000 to U+00FF) and is written back as the same byte, so the library's
// ASCII patterns work and no text byte is changed by the decoding itself.
// Read as "utf8" (as the package's own examples do), each CP949 character
// would turn into U+FFFD replacement characters and be lost.
import { readFileSync, writeFileSync } from "fs";
import subsrt from "subsrt-ts";

const [input, output, offset] = process.argv.slice(2);
const content = readFileSync(input, "latin1");
const captions = subsrt.parse(content, { format: "smi" });
const resynced = subsrt.resync(captions, { offset: Number(offset) });
writeFileSync(output, subsrt.build(resynced, { format: "smi" }), "latin1");
