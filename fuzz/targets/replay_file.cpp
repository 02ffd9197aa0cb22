// A replay file: read as the game reads Replays/NAME.kvr, and the same bytes read again as
// the inside of one (deflated and given a good length and CRC), so that the fuzzer reaches
// the body's parser and not only the checks around it. A replay that reads must write back
// to the same bytes.
#include <zlib.h>

#include "FuzzTarget.h"
#include "core/ReplayFile.h"

namespace {

void ReadAndRewrite(const std::string& bytes) {
  Replay replay;
  std::string error;
  if (!DecodeReplay(bytes, replay, error)) {
    if (error.empty()) __builtin_trap(); // a refusal always says why
    return;
  }
  const std::string written = EncodeReplay(replay);
  Replay again;
  if (!DecodeReplay(written, again, error)) __builtin_trap();
  if (EncodeReplay(again) != written) __builtin_trap();
  if (again.frames.size() != replay.frames.size() || again.trace.size() != replay.trace.size()) __builtin_trap();
}

std::string AsBody(const std::string& body) {
  uLongf size = compressBound(body.size());
  std::string packed(size, '\0');
  compress2(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(body.data()), body.size(), 1);
  packed.resize(size);
  std::string file = {'K', 'V', 'R', static_cast<char>(REPLAY_FORMAT)};
  const uint32_t length = static_cast<uint32_t>(body.size());
  const uint32_t crc = static_cast<uint32_t>(crc32(0L, reinterpret_cast<const Bytef*>(body.data()), body.size()));
  for (int i = 0; i < 4; ++i) file.push_back(static_cast<char>(length >> (8 * i)));
  for (int i = 0; i < 4; ++i) file.push_back(static_cast<char>(crc >> (8 * i)));
  return file + packed;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes = InputText(data, size);
  ReadAndRewrite(bytes);
  ReadAndRewrite(AsBody(bytes));
  return 0;
}
