// The texts of the speech subsystem, byte for byte: spoken phrases in
// CP932, the file names of the cue sounds and the reader's command names.
#pragma once

namespace phrases {

// Spoken.
inline constexpr char kPageBreak[] = "\x89\xFC\x83\x79\x81\x5B\x83\x57";        // 改ページ
inline constexpr char kJisCode[] = "\x83\x57\x83\x58\x83\x52\x81\x5B\x83\x68";  // ジスコード
inline constexpr char kShiftJisCode[] =
    "\x83\x56\x83\x74\x83\x67\x83\x57\x83\x58\x83\x52\x81\x5B\x83\x68";  // シフトジスコード
inline constexpr char kFullWidthSpace[] = "\x81\x40";                    // "　"

// The sound folder under the Windows directory, and the cue sounds in it.
inline constexpr char kMediaFolder[] = "\\Media";  // \Media
inline constexpr char kNoInputSound[] = "ZNTNoInp.wav";
inline constexpr char kStretchSound[] = "ZNTStret.wav";
inline constexpr char kFullWidthSpaceSound[] = "ZNTMbSp.wav";
inline constexpr char kHalfWidthSpaceSound[] = "ZNTSbSp.wav";
inline constexpr char kBlankSound[] = "ZNTBlank.wav";
inline constexpr char kLineChangeSound[] = "ZNTLChg.wav";
inline constexpr char kTableBottomSound[] = "ZNTTBtm.wav";
inline constexpr char kRowEndSound[] = "ZNTREnd.wav";
inline constexpr char kWarningSound[] = "ZNTWan.wav";
inline constexpr char kErrorSound[] = "ZNTErr.wav";

// Commands for SendReaderCommand.
inline constexpr char kReadInputStatus[] = "ReadInputSts";
inline constexpr char kSetCursorGuide[] = "SetCurGuide";
inline constexpr char kSetSpeedToggle[] = "SetSpeedToggle";

}  // namespace phrases
