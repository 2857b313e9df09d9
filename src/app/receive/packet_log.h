// The packet log: the recorder writes every received packet as one line to a log file,
// the player hands a recorded log back to the packet dispatcher in compressed time.
//
// A log line is the receive time, ':' and the packet as a TNC2 line whose information
// field is escaped like a semicolon-record field (so it holds no blank or control
// character):
//   "070601143005:N0CALL-9>APRS,WIDE1-1:>Net$32Control"
// A log file is plain text, one line per packet, in the order the packets came in (so a
// playback repeats the session as it was); a packet heard again within its second is
// not added again. Logs run for weeks and grow to gigabytes: the recorder only appends
// and the player reads as it plays, so neither reads more of a log than it needs.
#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "core/packet_header.h"
#include "platform/sys/date_time.h"

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
  // The error that began the failing writes of the log file going on now, empty while
  // writes succeed.
  const std::string& WriteError() const { return write_error_; }
  // Told once when writes start failing (the error names the file).
  std::function<void(const std::string& Error)> OnWriteError;
  // Told when a write succeeds again after lines were lost meanwhile: how many.
  std::function<void(int Lost)> OnLinesLost;

  // The new lines wait in memory up to this many bytes: a feed that fills it before the
  // next flush is written at once. While the file cannot be written (a full disk, a drive
  // gone) the oldest lines beyond it are lost and counted, so memory and the cost of each
  // write attempt stay bounded.
  static constexpr int64_t kMaxWaitingBytes = 4 * 1024 * 1024;

  // Starts recording to FileName (a running recording is stopped first). With Append the
  // new lines go after the file's own, which are not read (only the end, for the packets
  // of its last second); otherwise the file is overwritten at the first flush. False,
  // with nothing started, when the file exists but cannot be read; Error says why.
  bool Start(const std::string& FileName, bool Append, std::string& Error);
  // One packet line, while recording; a packet already recorded in the same second is
  // dropped.
  void AddLine(const std::string& Line);
  // A one-second tick: every kFlushTicks-th writes the new lines.
  void FlushTick();
  // Writes the new lines at the end of the file; they stay waiting when that fails.
  void FlushLog();
  // Writes what is left and ends the recording.
  void Stop();

  // For the tests and the window: lines written since recording started, lines waiting,
  // and lines lost since the last write that succeeded.
  int WrittenCount() const { return written_count_; }
  int BufferCount() const { return static_cast<int>(log_buffer_.size()); }
  int LostCount() const { return lost_count_; }
  int FlushTicks() const { return flush_ticks_; }

 private:
  void WriteFile();
  bool AppendLines(const std::string& Text);
  // Reads the file's size and whether its last line is ended, and when asked the lines of
  // its end. False when there is no file; raises EStreamError when it cannot be read.
  bool MeasureLogEnd(std::vector<std::string>* LastSecondLines = nullptr);
  void NoteLastSecond(const std::string& Line);
  void WriteSucceeded();

  // file_size_ when the next write replaces the file.
  static constexpr int64_t kWriteWhole = -1;

  bool recording_ = false;
  int flush_ticks_ = 0;
  int written_count_ = 0;
  std::string log_file_name_;
  std::string write_error_;
  std::deque<std::string> log_buffer_;
  // The bytes log_buffer_ takes in the file, line breaks included.
  int64_t waiting_bytes_ = 0;
  int lost_count_ = 0;
  // The packets of the last second recorded, for the duplicate check.
  std::string last_stamp_;
  std::unordered_set<std::string> last_second_lines_;
  // The size the file had after the last write, and whether it ends inside a line (cut
  // short, or edited by hand) so that the next line must start one of its own.
  int64_t file_size_ = kWriteWhole;
  bool file_ends_inside_line_ = false;
};

class TPacketPlayer {
 public:
  TPacketPlayer();
  ~TPacketPlayer();

  // The dispatcher's AnalysePacket, handed each played packet.
  std::function<void(const TReceivedPacket& Packet)> AnalysePacket;
  // The playback ended (at the end of the log or by Stop).
  std::function<void()> OnStopped;

  bool Playing() const { return playing_; }
  // True only while a played packet is being handed over: the dispatcher and the
  // messaging window then know it is no live traffic (no IGate, no acknowledgements).
  bool HandingOver() const { return handing_over_; }

  // Opens FileName and starts at its first line; false when the file cannot be read or
  // its first MiB holds no line with a readable stamp. Only the log's first and last
  // lines are read now; the others as their turn comes.
  bool Start(const std::string& FileName);
  void Stop();
  // One playback tick (timPlayBack, 1 s): log time advances one minute and the lines
  // before it are handed over in file order; lines that cannot be read are skipped.
  // Every line is played, in file order: a stamp earlier than the one before (a clock
  // set back, the hour repeated at the end of summer time) is played as if no time
  // passed, and the log time goes on from there as the stamps go on. A tick hands over
  // at most kMaxLinesPerTick lines and reads at most kMaxReadBytesPerTick bytes of the
  // file; when it stops short, the tick after it does not advance the log time and
  // should come at once (Behind). A line too long to be a packet is skipped so, over
  // as many ticks as it takes, and the lines after it play.
  void Tick();
  // Lines due wait, or a long line is being skipped, that the last tick left for the
  // next one.
  bool Behind() const { return behind_; }

  // How far the playback is, in bytes of the file: the start of the first line not yet
  // handed over, and the file's size (the larger when it grew while playing).
  int64_t PlayedBytes() const { return played_bytes_; }
  int64_t FileBytes() const { return std::max(file_bytes_, played_bytes_); }
  // The stamps of the log's first and last lines, and the log's own time at the line
  // now due (earlier again after a step back).
  TDateTime PlayStart() const { return play_start_; }
  TDateTime PlayNow() const { return play_now_; }
  TDateTime PlayEnd() const { return play_end_; }

  // Lines one tick hands over at most: a busy hour of a log is played over several
  // turns of the message loop, so the windows never wait long for it.
  static constexpr int kMaxLinesPerTick = 200;
  // Bytes of the log one tick reads at most: a line of a gigabyte, or a file without a
  // line break, costs many short ticks instead of one long wait.
  static constexpr int64_t kMaxReadBytesPerTick = 1024 * 1024;

 private:
  class TLogReader;

  // Hands over the due lines, at most kMaxLinesPerTick; false at the end of the log.
  bool HandOverDueLines();

  bool playing_ = false;
  bool handing_over_ = false;
  bool behind_ = false;
  TDateTime play_start_ = 0;
  TDateTime play_now_ = 0;
  TDateTime play_end_ = 0;
  // The playback clock runs on the stamps with every step back added, so it only ever
  // goes forward; the stamp of the last line played tells the next step back.
  TDateTime play_clock_ = 0;
  TDateTime steps_back_ = 0;
  TDateTime last_stamp_ = 0;
  int64_t played_bytes_ = 0;
  int64_t file_bytes_ = 0;
  std::unique_ptr<TLogReader> reader_;
  // The next line to play, read but not yet due, and where it starts in the file.
  std::optional<std::string> pending_line_;
  int64_t pending_start_ = 0;
};
