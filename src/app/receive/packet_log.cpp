#include "app/receive/packet_log.h"

#include <algorithm>

#include "core/csv_ctrl.h"
#include "core/my_tools.h"
#include "core/tnc2_line.h"
#include "platform/sys/atomic_file.h"
#include "platform/sys/files.h"
#include "platform/text/format.h"
#include "platform/text/sysutils.h"

namespace {

// One minute of log time per playback tick.
constexpr TDateTime kPlayStep = 0.000694444;
// The stamp "yymmddhhnnss" and its ':'.
constexpr int kStampLength = 12;
// Every text file the program writes ends its lines so.
constexpr char kLineBreak[] = "\r\n";

// Lines ordered by their stamps alone: packets of one second keep the order in which
// they came in, which the line text (sender before sender) would lose.
bool StampBefore(const std::string& a, const std::string& b) {
  return a.compare(0, kStampLength, b, 0, kStampLength) < 0;
}

}  // namespace

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
  TStringList lines;
  if (Append && FileExists(FileName)) {
    try {
      lines.LoadFromFile(FileName);
    } catch (const Exception& error) {
      // Recording on would overwrite the lines that could not be read.
      Error = error.what();
      return false;
    }
  }
  log_file_name_ = FileName;
  log_lines_.clear();
  known_lines_.clear();
  log_buffer_.clear();
  // The first write puts the file in order whole; the later ones only append.
  file_lines_ = 0;
  file_size_ = kWriteWhole;
  for (int i = 0; i < lines.Count(); ++i) Insert(lines[i]);
  write_error_.clear();
  unwritten_ = false;
  recording_ = true;
  return true;
}

void TPacketRecorder::AddLine(const std::string& Line) {
  // A line break inside would make the rest a line of its own in the file.
  if (recording_) log_buffer_.emplace_back(LinePart(Line));
}

void TPacketRecorder::Insert(const std::string& Line) {
  if (!known_lines_.insert(Line).second) return;
  const auto place = std::upper_bound(log_lines_.begin(), log_lines_.end(), Line, StampBefore);
  // A line older than the file's last one (a clock set back) cannot be appended.
  if (static_cast<size_t>(place - log_lines_.begin()) < file_lines_) file_size_ = kWriteWhole;
  log_lines_.insert(place, Line);
  unwritten_ = true;
}

void TPacketRecorder::FlushTick() {
  if (!recording_) return;
  if (++flush_ticks_ >= kFlushTicks) FlushLog();
}

void TPacketRecorder::FlushLog() {
  flush_ticks_ = 0;
  if (!recording_) return;
  for (const std::string& line : log_buffer_) Insert(line);
  log_buffer_.clear();
  if (unwritten_) WriteFile();
}

std::string TPacketRecorder::LinesFrom(size_t First) const {
  std::string text;
  for (size_t i = First; i < log_lines_.size(); ++i) text.append(log_lines_[i]).append(kLineBreak);
  return text;
}

// New lines are appended: the file is written whole only at the first write, after a
// line that belongs before its end, or when it was changed by someone else.
void TPacketRecorder::WriteFile() {
  try {
    std::string text = LinesFrom(file_size_ == kWriteWhole ? 0 : file_lines_);
    if (file_size_ == kWriteWhole || !AppendToFile(log_file_name_, text, file_size_)) {
      if (file_size_ != kWriteWhole) text = LinesFrom(0);
      SaveFileAtomically(log_file_name_, text);
      file_size_ = 0;
    }
    file_size_ += static_cast<int64_t>(text.size());
    file_lines_ = log_lines_.size();
    unwritten_ = false;
  } catch (const Exception& error) {
    // The lines stay in the log and go out with the next write that succeeds.
    if (!write_error_.empty()) return;
    write_error_ = error.what();
    if (OnWriteError) OnWriteError(write_error_);
  }
}

void TPacketRecorder::Stop() {
  if (!recording_) return;
  FlushLog();
  recording_ = false;
  WriteFile();
  log_lines_.clear();
  known_lines_.clear();
}

// --- player --------------------------------------------------------------------------------

bool TPacketPlayer::Start(const std::string& FileName) {
  Stop();
  playing_ = false;
  if (!FileExists(FileName)) return false;
  auto lines = std::make_unique<TStringList>();
  try {
    lines->LoadFromFile(FileName);
  } catch (const Exception&) {
    return false;
  }
  // The clock runs from the first to the last line that has a time; damaged lines
  // around them are skipped when their turn comes.
  bool timed = false;
  TDateTime time = 0;
  for (int i = 0; i < lines->Count(); ++i) {
    if (!LogLineTime(lines->Get(i), time)) continue;
    if (!timed) play_start_ = time;
    timed = true;
    play_end_ = time;
  }
  if (!timed) return false;
  play_lines_ = std::move(lines);
  play_index_ = 0;
  play_now_ = play_start_;
  playing_ = true;
  return true;
}

void TPacketPlayer::Stop() {
  if (!playing_) return;
  playing_ = false;
  play_lines_.reset();
  if (OnStopped) OnStopped();
}

void TPacketPlayer::Tick() {
  if (!playing_) return;
  const TDateTime target = play_now_ + kPlayStep;
  TReceivedPacket packet;
  while (play_index_ < play_lines_->Count()) {
    const std::string& line = play_lines_->Get(play_index_);
    TDateTime time = 0;
    if (LogLineTime(line, time)) {
      if (time >= target) break;
      if (LogLineToPacket(line, packet) && AnalysePacket) {
        handing_over_ = true;
        AnalysePacket(packet);
        handing_over_ = false;
        // The receiver of the packet may have stopped the playback.
        if (!playing_) return;
      }
    }
    ++play_index_;
  }
  // The clock stops at the last line: the window shows it beside the log's end time.
  play_now_ = std::min(target, play_end_);
  if (play_index_ >= play_lines_->Count()) Stop();
}
