// The packet log: the recorder writes every received packet as one line to a log file,
// the player hands a recorded log back to the packet dispatcher in compressed time.
//
// A log line is the receive time, ':' and the packet as a TNC2 line whose information
// field is escaped like a semicolon-record field (so it holds no blank or control
// character):
//   "070601143005:N0CALL-9>APRS,WIDE1-1:>Net$32Control"
// A log file is plain text, one line per packet, in the order of the time stamps and,
// within one second, in the order the packets came in (so a playback repeats the
// session as it was); a line equal to one already in the log is not added again.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "core/packet_header.h"
#include "platform/sys/date_time.h"
#include "platform/text/string_list.h"

// The packet of a log line: the header "fm SRC to DEST [via PATH] ctl UI pid F0", the
// unescaped information field, and the header's parts read from the line itself. False,
// Packet cleared, for a line without ':' after the stamp, without '>' in its head or
// with a broken escape.
bool LogLineToPacket(const std::string& Line, TReceivedPacket& Packet);
// The time of a log line from its stamp (the text up to the first ':'); false for a
// line whose stamp is no "yymmddhhnnss".
bool LogLineTime(const std::string& Line, TDateTime& Time);

// Aging ticks between two flushes of the recorder: a crash loses at most this many
// seconds of traffic.
constexpr int kFlushTicks = 20;

class TPacketRecorder {
 public:
  TPacketRecorder();
  ~TPacketRecorder();

  bool Recording() const { return recording_; }
  const std::string& LogFileName() const { return log_file_name_; }
  // The first error writing the log file since recording started, empty when none.
  const std::string& WriteError() const { return write_error_; }
  // Told once per recording, at its first write error.
  std::function<void(const std::string& Error)> OnWriteError;

  // Starts recording to FileName (a running recording is stopped first). With Append the
  // file's lines are kept, otherwise the file is overwritten at the first flush. False,
  // with nothing started, when the file exists but cannot be read; Error says why.
  bool Start(const std::string& FileName, bool Append, std::string& Error);
  // One packet line, while recording.
  void AddLine(const std::string& Line);
  // A one-second tick: every kFlushTicks-th writes the new lines.
  void FlushTick();
  // Moves the new lines into the log and writes the file when it changed (or when the
  // last write failed).
  void FlushLog();
  // Writes what is left and ends the recording.
  void Stop();

  // For the tests and the window: lines in the log and lines waiting.
  int LineCount() const { return static_cast<int>(log_lines_.size()); }
  int BufferCount() const { return static_cast<int>(log_buffer_.size()); }
  int FlushTicks() const { return flush_ticks_; }

 private:
  void WriteFile();
  void Insert(const std::string& Line);
  // The log's lines from index First on, each with its line break.
  std::string LinesFrom(size_t First) const;

  // file_size_ when the next write must save the file whole.
  static constexpr int64_t kWriteWhole = -1;

  bool recording_ = false;
  bool unwritten_ = false;  // the log holds lines the file lacks
  int flush_ticks_ = 0;
  std::string log_file_name_;
  std::string write_error_;
  std::vector<std::string> log_lines_;
  std::unordered_set<std::string> known_lines_;
  std::vector<std::string> log_buffer_;
  // The file holds the first file_lines_ lines of the log, in file_size_ bytes.
  size_t file_lines_ = 0;
  int64_t file_size_ = kWriteWhole;
};

class TPacketPlayer {
 public:
  // The dispatcher's AnalysePacket, handed each played packet.
  std::function<void(const TReceivedPacket& Packet)> AnalysePacket;
  // The playback ended (at the end of the log or by Stop).
  std::function<void()> OnStopped;

  bool Playing() const { return playing_; }
  // True only while a played packet is being handed over: the dispatcher and the
  // messaging window then know it is no live traffic (no IGate, no acknowledgements).
  bool HandingOver() const { return handing_over_; }

  // Loads FileName and starts at its first line; false when the file does not exist or
  // holds no line with a readable stamp.
  bool Start(const std::string& FileName);
  void Stop();
  // One playback tick (timPlayBack, 1 s): log time advances one minute and every line
  // before it is handed over in file order; lines that cannot be read are skipped.
  void Tick();

  int PlayIndex() const { return play_index_; }
  int LineCount() const { return play_lines_ ? play_lines_->Count() : 0; }
  TDateTime PlayStart() const { return play_start_; }
  TDateTime PlayNow() const { return play_now_; }
  TDateTime PlayEnd() const { return play_end_; }

 private:
  bool playing_ = false;
  bool handing_over_ = false;
  int play_index_ = 0;
  TDateTime play_start_ = 0;
  TDateTime play_now_ = 0;
  TDateTime play_end_ = 0;
  std::unique_ptr<TStringList> play_lines_;
};
