#pragma once
// Which of GStreamer's elements an audio player may ever use. Playbin's decoder selection reads
// the pad templates of every decoder, parser and demuxer it may plug, and keeps what it parsed for
// the life of the process; hundreds of them are for video, pictures or subtitles, and none of the
// encoders, muxers and RTP elements is ever plugged. Taking them out of the registry before the
// first stream keeps that memory, and the time to sift them, out of every stream.
#include <string_view>

namespace sonavex {

// From an element factory's class ("Codec/Decoder/Audio", "Sink/Video", ...): whether playing a
// local audio file may need it. Encoders, muxers, payloaders and tag writers never; anything for
// video, pictures, subtitles or visualisations only when it handles audio too.
bool usableForAudioPlayback(std::string_view klass);

// Drops every element factory that is not usable for audio playback from GStreamer's registry.
// Typefinders and demuxers stay, so that a video file is still recognised and its sound played.
void keepOnlyAudioElements();

}  // namespace sonavex
