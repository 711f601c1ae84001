#include "TestAudio.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <vector>

namespace sonavex::e2e {
namespace {

void put16(std::string& out, std::uint16_t v) {
  out.push_back(static_cast<char>(v & 0xff));
  out.push_back(static_cast<char>(v >> 8));
}

void put32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xff));
}

std::string extensionOf(const std::string& path) {
  return std::filesystem::path(path).extension().string();
}

int run(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()); }

}  // namespace

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "sonavex-e2e.XXXXXX").string();
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (mkdtemp(buffer.data()) != nullptr) dir_ = buffer.data();
}

TempDir::~TempDir() {
  std::error_code ignored;
  if (!dir_.empty()) std::filesystem::remove_all(dir_, ignored);
}

bool writeToneWav(const std::string& path, const Tone& tone) {
  const auto frames = static_cast<std::uint32_t>(tone.seconds * kSampleRate);
  const auto channels = static_cast<std::uint16_t>(tone.channels);
  const std::uint32_t dataBytes = frames * channels * 2;
  std::string out;
  out += "RIFF";
  put32(out, 36 + dataBytes);
  out += "WAVEfmt ";
  put32(out, 16);
  put16(out, 1);  // PCM
  put16(out, channels);
  put32(out, kSampleRate);
  put32(out, kSampleRate * channels * 2);
  put16(out, static_cast<std::uint16_t>(channels * 2));
  put16(out, 16);
  out += "data";
  put32(out, dataBytes);
  for (std::uint32_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    const auto sample = static_cast<std::int16_t>(
        std::lround(tone.amplitude * 32767 * std::sin(2 * std::numbers::pi * tone.frequency * t)));
    for (int c = 0; c < channels; ++c) put16(out, static_cast<std::uint16_t>(sample));
  }
  std::ofstream file(path, std::ios::binary);
  file.write(out.data(), static_cast<std::streamsize>(out.size()));
  return static_cast<bool>(file);
}

std::string encode(const std::string& wavPath, const std::string& target) {
  const std::string ext = extensionOf(target);
  const std::string in = "'" + wavPath + "'";
  const std::string out = "'" + target + "'";
  std::string command;
  if (ext == ".mp3") {
    command = "lame --quiet -t -b 128 " + in + " " + out;  // -t: no length header, the hard case
  } else if (ext == ".ogg") {
    command = "oggenc -Q -o " + out + " " + in;
  } else if (ext == ".flac") {
    command = "flac -s -f -o " + out + " " + in;
  } else if (ext == ".wma") {
    command = "gst-launch-1.0 -q filesrc location=" + in + " ! wavparse ! audioconvert ! "
              "audioresample ! avenc_wmav2 ! asfmux ! filesink location=" + out;
  } else {
    return "no encoder for " + ext;
  }
  if (run(command) != 0) return "encoder failed: " + command;
  if (!std::filesystem::exists(target) || std::filesystem::file_size(target) == 0) {
    return "encoder wrote nothing: " + command;
  }
  return {};
}

bool writeMidi(const std::string& path) {
  // Format 0, one track, 96 ticks a quarter note at the default 120 bpm: 192 ticks = 1 s.
  const std::string track = std::string{0x00, static_cast<char>(0xC0), 0x00}  // piano
                            + std::string{0x00, static_cast<char>(0x90), 69, 100}  // A4 on
                            + std::string{static_cast<char>(0x81), 0x40, static_cast<char>(0x80), 69, 0}
                            + std::string{0x00, static_cast<char>(0xFF), 0x2F, 0x00};
  std::string out = "MThd";
  out += std::string{0, 0, 0, 6, 0, 0, 0, 1, 0, 96};
  out += "MTrk";
  out += std::string{0, 0, 0, static_cast<char>(track.size())};
  out += track;
  std::ofstream file(path, std::ios::binary);
  file.write(out.data(), static_cast<std::streamsize>(out.size()));
  return static_cast<bool>(file);
}

bool writeText(const std::string& path, const std::string& text) {
  std::ofstream file(path, std::ios::binary);
  file << text;
  return static_cast<bool>(file);
}

}  // namespace sonavex::e2e
