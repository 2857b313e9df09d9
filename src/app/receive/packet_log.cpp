#include "app/receive/packet_log.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/csv_ctrl.h"
#include "core/my_tools.h"
#include "core/tnc2_line.h"
#include "platform/sys/atomic_file.h"
#include "platform/sys/files.h"
#include "platform/text/format.h"
#include "platform/text/streams.h"
#include "platform/text/string_list.h"
#include "platform/text/sysutils.h"

namespace {

// One minute of log time per playback tick.
constexpr TDateTime kPlayStep = 0.000694444;
// The stamp "yymmddhhnnss" and its ':'.
constexpr int kStampLength = 12;
// Every text file the program writes ends its lines so.
constexpr char kLineBreak[] = "\r\n";
// What a line takes in the file.
int64_t LineFileBytes(const std::string& Line) {
  return static_cast<int64_t>(Line.size() + sizeof(kLineBreak) - 1);
}
// How much of a log's end the recorder reads for the packets of its last second.
constexpr int64_t kLastSecondBytes = 64 * 1024;
// How far into a log the player looks for its first and its last timed line: a file
// without one in its first MiB is no log.
constexpr int64_t kTimedLineSearchBytes = 1024 * 1024;
// The player reads a log in pieces of this size.
constexpr int64_t kReadPieceBytes = 64 * 1024;
// A packet's line is a few hundred bytes; a longer line is no packet and is skipped
// unread rather than held.
constexpr size_t kLongestLine = 64 * 1024;

bool EndsLine(char Byte) {
  return Byte == '\r' || Byte == '\n';
}

std::string StampOf(const std::string& Line) {
  return Line.substr(0, kStampLength);
}

// The whole lines among the last MaxBytes of Stream, in file order: a line the piece
// starts inside of is left out. EndsInsideLine tells whether the file's last line lacks
// its line break.
std::vector<std::string> LastLines(TFileStream& Stream, int64_t MaxBytes, bool& EndsInsideLine) {
  const int64_t size = Stream.Size();
  const int64_t first = std::max<int64_t>(size - MaxBytes, 0);
  std::string piece(static_cast<size_t>(size - first), '\0');
  Stream.SetPosition(first);
  Stream.ReadBuffer(piece.data(), static_cast<int64_t>(piece.size()));
  EndsInsideLine = !piece.empty() && !EndsLine(piece.back());
  TStringList lines;
  lines.SetText(piece);
  std::vector<std::string> result;
  for (int i = first > 0 ? 1 : 0; i < lines.Count(); ++i) result.push_back(lines[i]);
  return result;
}

// The first CR or LF in Text[From, size), or its size: memchr runs through the megabytes of
// a line that is no packet far quicker than a search for either byte at once.
size_t FindLineEnd(const std::string& Text, size_t From) {
  const char* begin = Text.data() + From;
  const size_t length = Text.size() - From;
  const void* lf = std::memchr(begin, '\n', length);
  const size_t lf_at = lf ? static_cast<size_t>(static_cast<const char*>(lf) - begin) : length;
  const void* cr = std::memchr(begin, '\r', lf_at);
  return From + (cr ? static_cast<size_t>(static_cast<const char*>(cr) - begin) : lf_at);
}

}  // namespace

// Reads a log line by line, a piece at a time, as TStrings reads text: CR LF, a lone LF
// and a lone CR each end a line. It reads no more than it is allowed: a line longer than
// that is read over several turns, and one too long to be a packet is never held.
class TPacketPlayer::TLogReader {
 public:
  enum class TRead { kLine, kEnd, kAllowanceSpent };

  explicit TLogReader(const std::string& FileName) : stream_(FileName, fmOpenRead) {}

  // The bytes of the file the reader may read until the next Allow.
  void Allow(int64_t Bytes) { allowance_ = Bytes; }
  // The file position of the next byte, and where the line last read, or being read, began.
  int64_t Position() const { return position_; }
  int64_t LineStart() const { return line_start_; }

  // The next line; kAllowanceSpent when its end lies beyond what may still be read (the
  // next call goes on with it).
  TRead NextLine(std::string& Line) {
    for (;;) {
      if (at_ == piece_.size()) {
        if (allowance_ <= 0) return TRead::kAllowanceSpent;
        if (!ReadPiece()) return in_line_ ? EndLine(Line) : TRead::kEnd;
      }
      if (after_cr_) {
        // The LF of a CR LF that a piece boundary split.
        after_cr_ = false;
        if (piece_[at_] == '\n') {
          Skip(1);
          continue;
        }
      }
      if (!in_line_) {
        in_line_ = true;
        line_start_ = position_;
      }
      const size_t end = FindLineEnd(piece_, at_);
      // A line too long to be a packet reads as an empty one, which no playback takes.
      too_long_ = too_long_ || line_.size() + (end - at_) > kLongestLine;
      if (too_long_) {
        line_.clear();
      } else {
        line_.append(piece_, at_, end - at_);
      }
      Skip(end - at_);
      if (at_ == piece_.size()) continue;
      const bool cr = piece_[at_] == '\r';
      Skip(1);
      if (cr && at_ == piece_.size()) {
        after_cr_ = true;
      } else if (cr && piece_[at_] == '\n') {
        Skip(1);
      }
      return EndLine(Line);
    }
  }

 private:
  TRead EndLine(std::string& Line) {
    Line = std::move(line_);
    line_.clear();
    in_line_ = false;
    too_long_ = false;
    return TRead::kLine;
  }

  void Skip(size_t Bytes) {
    at_ += Bytes;
    position_ += static_cast<int64_t>(Bytes);
  }

  bool ReadPiece() {
    const int64_t wanted = std::min(kReadPieceBytes, allowance_);
    piece_.resize(static_cast<size_t>(wanted));
    const int64_t read = stream_.Read(piece_.data(), wanted);
    piece_.resize(static_cast<size_t>(std::max<int64_t>(read, 0)));
    allowance_ -= wanted;
    at_ = 0;
    return !piece_.empty();
  }

  TFileStream stream_;
  std::string piece_;
  size_t at_ = 0;
  int64_t position_ = 0;
  int64_t allowance_ = 0;
  bool after_cr_ = false;
  // The line being read: its start, its text so far, and whether it is already too long.
  bool in_line_ = false;
  int64_t line_start_ = 0;
  std::string line_;
  bool too_long_ = false;
};

bool LogLineToPacket(const std::string& Line, TReceivedPacket& Packet) {
  Packet = TReceivedPacket();
  std::string rest;
  CopyFrom(Line, kStampLength + 2, rest);
  rest = Trim(rest);
  const size_t colon = rest.find(':');
  if (colon == std::string::npos) return false;
  const std::string head = rest.substr(0, colon);
  const size_t gt = head.find('>');
  if (gt == std::string::npos) return false;
  std::string data;
  try {
    CsvUnescape(rest.substr(colon + 1), data);
  } catch (const EConvertError&) {
    return false;
  }
  const std::string source = Trim(head.substr(0, gt));
  const std::string dest_and_path = head.substr(gt + 1);
  const size_t comma = dest_and_path.find(',');
  const std::string destination = Trim(dest_and_path.substr(0, comma));
  const std::string via =
      comma == std::string::npos ? std::string() : Trim(dest_and_path.substr(comma + 1));
  // Played packets show and count as heard on radio port 1.
  Packet.Header = via.empty()
                      ? Format("fm %s to %s ctl UI pid F0", source, destination)
                      : Format("fm %s to %s via %s ctl UI pid F0", source, destination, via);
  Packet.Data = std::move(data);
  Packet.Parts = {1, UpperCase(source), UpperCase(destination), UpperCase(via)};
  return true;
}

bool LogLineTime(const std::string& Line, TDateTime& Time) {
  std::string stamp;
  FirstToken(Line, 1, ':', stamp);
  const std::optional<TDateTime> read = TryStampToDateTime(stamp);
  if (read) Time = *read;
  return read.has_value();
}

// --- recorder ------------------------------------------------------------------------------

TPacketRecorder::TPacketRecorder() = default;

TPacketRecorder::~TPacketRecorder() = default;

bool TPacketRecorder::Start(const std::string& FileName, bool Append, std::string& Error) {
  Error.clear();
  flush_ticks_ = 0;
  Stop();
  // A kill during an earlier save left its temporary beside the log (up to the log's
  // size); the program's own folders are cleaned at start, a log's folder only now.
  DeleteStaleSaveFiles(ExtractFilePath(FileName));
  log_file_name_ = FileName;
  log_buffer_.clear();
  waiting_bytes_ = 0;
  lost_count_ = 0;
  last_stamp_.clear();
  last_second_lines_.clear();
  file_size_ = kWriteWhole;
  file_ends_inside_line_ = false;
  if (Append && FileExists(FileName)) {
    try {
      std::vector<std::string> last_lines;
      MeasureLogEnd(&last_lines);
      for (const std::string& line : last_lines) NoteLastSecond(line);
    } catch (const Exception& error) {
      // Recording on would overwrite the lines that could not be read.
      Error = error.what();
      return false;
    }
  }
  write_error_.clear();
  written_count_ = 0;
  recording_ = true;
  return true;
}

bool TPacketRecorder::MeasureLogEnd(std::vector<std::string>* LastSecondLines) {
  if (!FileExists(log_file_name_)) return false;
  TFileStream stream(log_file_name_, fmOpenRead);
  const std::vector<std::string> last =
      LastLines(stream, LastSecondLines ? kLastSecondBytes : 1, file_ends_inside_line_);
  if (LastSecondLines) *LastSecondLines = last;
  file_size_ = stream.Size();
  return true;
}

// Two copies of a packet come within one second, one after the other: the lines of the
// last second are all the duplicate check needs, however long the log.
void TPacketRecorder::NoteLastSecond(const std::string& Line) {
  const std::string stamp = StampOf(Line);
  if (stamp != last_stamp_) {
    last_stamp_ = stamp;
    last_second_lines_.clear();
  }
  last_second_lines_.insert(Line);
}

void TPacketRecorder::AddLine(const std::string& Line) {
  if (!recording_) return;
  // A line break inside would make the rest a line of its own in the file.
  const std::string line(LinePart(Line));
  if (StampOf(line) == last_stamp_ && last_second_lines_.count(line) > 0) return;
  NoteLastSecond(line);
  log_buffer_.push_back(line);
  waiting_bytes_ += LineFileBytes(line);
  if (waiting_bytes_ <= kMaxWaitingBytes) return;
  // A feed faster than the flushes: written now rather than at the tick. Only while the
  // file cannot be written do the oldest lines go, and only then is the user told.
  if (write_error_.empty()) FlushLog();
  while (waiting_bytes_ > kMaxWaitingBytes) {
    waiting_bytes_ -= LineFileBytes(log_buffer_.front());
    log_buffer_.pop_front();
    ++lost_count_;
  }
}

void TPacketRecorder::FlushTick() {
  if (!recording_) return;
  if (++flush_ticks_ >= kFlushTicks) FlushLog();
}

void TPacketRecorder::FlushLog() {
  flush_ticks_ = 0;
  if (recording_ && (!log_buffer_.empty() || file_size_ == kWriteWhole)) WriteFile();
}

// The first write of a new log replaces the file; every later one appends, also when
// the file was changed elsewhere meanwhile (its new end is read first), so nothing in
// it is lost.
void TPacketRecorder::WriteFile() {
  std::string text;
  text.reserve(static_cast<size_t>(waiting_bytes_));
  for (const std::string& line : log_buffer_) text.append(line).append(kLineBreak);
  try {
    if (file_size_ == kWriteWhole || !AppendLines(text)) {
      SaveFileAtomically(log_file_name_, text);
      file_size_ = static_cast<int64_t>(text.size());
      file_ends_inside_line_ = false;
    }
  } catch (const Exception& error) {
    // The lines stay waiting and go out with the next write that succeeds; the user
    // hears of the failure once.
    if (!write_error_.empty()) return;
    write_error_ = error.what();
    if (OnWriteError) OnWriteError(write_error_);
    return;
  }
  WriteSucceeded();
}

// The waiting lines are in the file: the failure, if there was one, is over, and the
// lines it cost are told.
void TPacketRecorder::WriteSucceeded() {
  written_count_ += static_cast<int>(log_buffer_.size());
  log_buffer_.clear();
  waiting_bytes_ = 0;
  write_error_.clear();
  const int lost = lost_count_;
  lost_count_ = 0;
  if (lost > 0 && OnLinesLost) OnLinesLost(lost);
}

// False when the file is gone, so that it is written anew.
bool TPacketRecorder::AppendLines(const std::string& Text) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    const std::string text = file_ends_inside_line_ ? kLineBreak + Text : Text;
    if (AppendToFile(log_file_name_, text, file_size_)) {
      file_size_ += static_cast<int64_t>(text.size());
      file_ends_inside_line_ = false;
      return true;
    }
    // Changed elsewhere since the last write: append at its new end.
    if (!MeasureLogEnd()) return false;
  }
  throw EWriteError(CannotSaveFileText(log_file_name_, kKeepsChangingText));
}

void TPacketRecorder::Stop() {
  if (!recording_) return;
  FlushLog();
  recording_ = false;
  log_buffer_.clear();
  waiting_bytes_ = 0;
  last_second_lines_.clear();
}

// --- player --------------------------------------------------------------------------------

TPacketPlayer::TPacketPlayer() = default;

TPacketPlayer::~TPacketPlayer() = default;

bool TPacketPlayer::Start(const std::string& FileName) {
  Stop();
  playing_ = false;
  if (!FileExists(FileName)) return false;
  try {
    auto reader = std::make_unique<TLogReader>(FileName);
    // The log runs from its first to its last line that has a time; damaged lines
    // before the first are skipped, those after it when their turn comes.
    reader->Allow(kTimedLineSearchBytes);
    std::string line;
    TDateTime start = 0;
    do {
      if (reader->NextLine(line) != TLogReader::TRead::kLine) return false;
    } while (!LogLineTime(line, start));
    TFileStream file(FileName, fmOpenRead);
    bool ends_inside_line = false;
    const std::vector<std::string> last = LastLines(file, kTimedLineSearchBytes, ends_inside_line);
    TDateTime end = start;
    const auto timed = std::find_if(last.rbegin(), last.rend(),
                                    [&](const std::string& l) { return LogLineTime(l, end); });
    play_end_ = timed == last.rend() ? start : end;
    file_bytes_ = file.Size();
    pending_start_ = reader->LineStart();
    reader_ = std::move(reader);
    pending_line_ = std::move(line);
    play_start_ = start;
  } catch (const Exception&) {
    return false;
  }
  play_now_ = play_start_;
  play_clock_ = play_start_;
  last_stamp_ = play_start_;
  steps_back_ = 0;
  played_bytes_ = 0;
  behind_ = false;
  playing_ = true;
  return true;
}

void TPacketPlayer::Stop() {
  if (!playing_) return;
  playing_ = false;
  reader_.reset();
  pending_line_.reset();
  if (OnStopped) OnStopped();
}

void TPacketPlayer::Tick() {
  if (!playing_) return;
  if (!behind_) play_clock_ += kPlayStep;
  bool at_end = true;
  try {
    at_end = !HandOverDueLines();
  } catch (const Exception&) {
    // The file can no longer be read: the playback ends where it got to.
  }
  // The receiver of a packet may have stopped the playback.
  if (!playing_) return;
  played_bytes_ = at_end ? FileBytes() : pending_line_ ? pending_start_ : reader_->Position();
  // At the end the clock stops at the last line, not a step beyond it.
  play_now_ = at_end ? last_stamp_ : play_clock_ - steps_back_;
  if (at_end) Stop();
}

bool TPacketPlayer::HandOverDueLines() {
  behind_ = false;
  reader_->Allow(kMaxReadBytesPerTick);
  TReceivedPacket packet;
  for (int taken = 0;; ++taken) {
    if (!pending_line_) {
      std::string line;
      const TLogReader::TRead read = reader_->NextLine(line);
      if (read == TLogReader::TRead::kEnd) return false;
      if (read == TLogReader::TRead::kAllowanceSpent) {
        behind_ = true;
        return true;
      }
      pending_line_ = std::move(line);
      pending_start_ = reader_->LineStart();
    }
    TDateTime stamp = 0;
    const bool timed = LogLineTime(*pending_line_, stamp);
    const TDateTime step_back = timed ? std::max<TDateTime>(last_stamp_ - stamp, 0) : 0;
    if (timed && stamp + steps_back_ + step_back >= play_clock_) return true;
    if (taken == kMaxLinesPerTick) {
      behind_ = true;
      return true;
    }
    const std::string line = std::move(*pending_line_);
    pending_line_.reset();
    if (!timed) continue;
    steps_back_ += step_back;
    last_stamp_ = stamp;
    // A log that grew while it played ends where its new last line stands.
    if (pending_start_ >= file_bytes_) play_end_ = stamp;
    if (LogLineToPacket(line, packet) && AnalysePacket) {
      handing_over_ = true;
      AnalysePacket(packet);
      handing_over_ = false;
      if (!playing_) return true;
    }
  }
}
