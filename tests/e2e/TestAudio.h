#pragma once
// Test audio made at run time: a sine tone as WAV, encoded into the other formats with the command
// line encoders, and a one-note MIDI file. Everything lands in a temporary folder.
#include <string>

namespace sonavex::e2e {

// A fresh folder under the system's temporary folder, removed with its contents on destruction.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  std::string path(const std::string& name) const { return dir_ + "/" + name; }

 private:
  std::string dir_;
};

struct Tone {
  double frequency = 441;  // 100 samples a period at 44.1 kHz
  double seconds = 1.5;
  double amplitude = 0.5;  // of full scale
  int channels = 2;
};

inline constexpr int kSampleRate = 44100;

// Writes a 16-bit PCM WAV file of the tone. Returns false when the file cannot be written.
bool writeToneWav(const std::string& path, const Tone& tone);

// Encodes a WAV file into target by the target's extension: mp3 (CBR, no length header), ogg,
// flac or wma. Returns an empty text on success, else what went wrong.
std::string encode(const std::string& wavPath, const std::string& target);

// A standard MIDI file playing one note (A4) for about a second.
bool writeMidi(const std::string& path);

bool writeText(const std::string& path, const std::string& text);

}  // namespace sonavex::e2e
