#pragma once

namespace kd {

// Ids of the message-table texts of the backup run and its logs; callers fetch the
// texts and build the sentences.
namespace run_msg {
inline constexpr int WarningCaption = 10009;
inline constexpr int QuestionCaption = 10017;
inline constexpr int ErrorCaption = 20000;
inline constexpr int NotRemovable = 11006;
inline constexpr int InsertDisk = 11016;        // the next disk of a spanned set
inline constexpr int ProgressBefore = 11019;    // before the percentage
inline constexpr int ProgressAfter = 11020;     // after it, before the archive name
inline constexpr int NotOpenedBefore = 11023;   // before a file that cannot be opened
inline constexpr int NotOpenedAfter = 11024;    // after it
inline constexpr int HeaderBefore = 11025;      // before the profile name
inline constexpr int HeaderAt = 11026;          // between the date and the time
inline constexpr int Directory = 11027;         // before a directory
inline constexpr int SourceMissingAsk = 11028;  // after a missing source: go on?
inline constexpr int NotCreated = 11029;        // after a missing directory: no backup
inline constexpr int TargetMissingAsk = 11030;  // after a missing target: create it?
inline constexpr int WillCreate = 11031;        // after a missing target being created
inline constexpr int CannotCreate = 11032;      // after a target that cannot be created
inline constexpr int DiskNotReady = 11033;      // try the removable disk again?
inline constexpr int DoneBefore = 11034;        // before the count of stored files
inline constexpr int DoneAfter = 11035;         // after it
inline constexpr int Unfinished = 11037;        // the run or the archive is incomplete
inline constexpr int Extracted = 11038;         // after an extracted file's name
inline constexpr int OverwrittenBefore = 11040; // an existing file about to be overwritten
inline constexpr int NoLogDirectory = 11045;    // "%s" stands for the log directory
} // namespace run_msg

} // namespace kd
