#include "core/ReplayFile.h"
#include "platform/SafeFile.h"
#include <cstring>
#include <fstream>
#include <iterator>
#include <zlib.h>

#ifndef KVO_GAME_VERSION
#define KVO_GAME_VERSION "unknown"
#endif

namespace {

constexpr char MAGIC[3] = {'K', 'V', 'R'};
constexpr size_t MAX_BODY = 32u << 20;   // an hour of the busiest input is far below this
constexpr uint64_t MAX_FRAMES = 60ull * 60 * 60 * 4;
constexpr uint64_t MAX_EVENTS = 16;      // a frame takes one message, which makes at most two events
constexpr uint64_t MAX_TEXT = 4096;

// Frame flags: what changed since the frame before.
enum : uint8_t {
  FRAME_TIME = 1,   // a new frame time follows
  FRAME_FOCUS = 2,  // the focus bit itself
  FRAME_PAD = 4,    // a pad change follows
  FRAME_EVENTS = 8, // input events follow
};

// ---- writing --------------------------------------------------------------------------

struct Writer {
  std::string bytes;
  void Byte(uint8_t b) { bytes.push_back(static_cast<char>(b)); }
  void Varint(uint64_t v) {
    while (v >= 0x80) {
      Byte(static_cast<uint8_t>(v | 0x80));
      v >>= 7;
    }
    Byte(static_cast<uint8_t>(v));
  }
  void Signed(int64_t v) { Varint((static_cast<uint64_t>(v) << 1) ^ static_cast<uint64_t>(v >> 63)); }
  void Float(float f) {
    uint32_t bits = 0;
    std::memcpy(&bits, &f, 4);
    for (int i = 0; i < 4; ++i) Byte(static_cast<uint8_t>(bits >> (8 * i)));
  }
  void Text(const std::string& s) {
    Varint(s.size());
    bytes += s;
  }
};

// ---- reading: every step checks what is left; the first failure sticks -------------------

struct Reader {
  const std::string& bytes;
  size_t at = 0;
  bool ok = true;
  uint8_t Byte() {
    if (at >= bytes.size()) {
      ok = false;
      return 0;
    }
    return static_cast<uint8_t>(bytes[at++]);
  }
  uint64_t Varint() {
    uint64_t v = 0;
    for (int shift = 0; shift < 64 && ok; shift += 7) {
      const uint8_t b = Byte();
      v |= static_cast<uint64_t>(b & 0x7F) << shift;
      if (!(b & 0x80)) return v;
    }
    ok = false;
    return 0;
  }
  int64_t Signed() {
    const uint64_t v = Varint();
    return static_cast<int64_t>(v >> 1) ^ -static_cast<int64_t>(v & 1);
  }
  // Within [low, high], or the read fails.
  int64_t Ranged(int64_t low, int64_t high) {
    const int64_t v = Signed();
    if (v < low || v > high) ok = false;
    return ok ? v : low;
  }
  float Float() {
    uint32_t bits = 0;
    for (int i = 0; i < 4; ++i) bits |= static_cast<uint32_t>(Byte()) << (8 * i);
    float f = 0;
    std::memcpy(&f, &bits, 4);
    return f;
  }
  std::string Text() {
    const uint64_t n = Varint();
    if (!ok || n > MAX_TEXT || n > bytes.size() - at) {
      ok = false;
      return {};
    }
    std::string s = bytes.substr(at, n);
    at += n;
    return s;
  }
};

// ---- the pad: a mask of the changed fields, each as a difference ------------------------

int64_t PadField(const PadState& p, int i) {
  switch (i) {
  case 0: return p.buttons;
  case 1: return p.leftTrigger;
  case 2: return p.rightTrigger;
  case 3: return p.thumbLX;
  case 4: return p.thumbLY;
  case 5: return p.thumbRX;
  default: return p.thumbRY;
  }
}

bool SetPadField(PadState& p, int i, int64_t v) {
  const bool isShort = i >= 3, isByte = i == 1 || i == 2;
  if (i == 0 && (v < 0 || v > 0xFFFF)) return false;
  if (isByte && (v < 0 || v > 255)) return false;
  if (isShort && (v < -32768 || v > 32767)) return false;
  switch (i) {
  case 0: p.buttons = static_cast<uint16_t>(v); break;
  case 1: p.leftTrigger = static_cast<uint8_t>(v); break;
  case 2: p.rightTrigger = static_cast<uint8_t>(v); break;
  case 3: p.thumbLX = static_cast<int16_t>(v); break;
  case 4: p.thumbLY = static_cast<int16_t>(v); break;
  case 5: p.thumbRX = static_cast<int16_t>(v); break;
  default: p.thumbRY = static_cast<int16_t>(v); break;
  }
  return true;
}
constexpr int PAD_FIELDS = 7;

void WriteFrames(Writer& w, const std::vector<ReplayFrame>& frames) {
  w.Varint(frames.size());
  ReplayFrame last;
  for (const ReplayFrame& f : frames) {
    uint8_t pad = 0;
    for (int i = 0; i < PAD_FIELDS; ++i)
      if (PadField(f.pad, i) != PadField(last.pad, i)) pad |= static_cast<uint8_t>(1 << i);
    uint8_t flags = f.focus ? FRAME_FOCUS : 0;
    if (std::memcmp(&f.frameTime, &last.frameTime, 4) != 0) flags |= FRAME_TIME;
    if (pad) flags |= FRAME_PAD;
    if (!f.events.empty()) flags |= FRAME_EVENTS;
    w.Byte(flags);
    if (flags & FRAME_TIME) w.Float(f.frameTime);
    if (pad) {
      w.Byte(pad);
      for (int i = 0; i < PAD_FIELDS; ++i)
        if (pad & (1 << i)) w.Signed(PadField(f.pad, i) - PadField(last.pad, i));
    }
    if (!f.events.empty()) {
      w.Varint(f.events.size());
      for (const InputEvent& e : f.events) {
        w.Byte(static_cast<uint8_t>(e.kind));
        if (e.kind == InputEvent::Kind::MouseTo) {
          w.Float(e.x);
          w.Float(e.y);
        } else {
          w.Signed(e.code);
        }
      }
    }
    last = f;
    last.events.clear();
  }
}

bool ReadFrames(Reader& r, std::vector<ReplayFrame>& frames) {
  const uint64_t count = r.Varint();
  if (!r.ok || count > MAX_FRAMES || count > r.bytes.size() - r.at) return false; // a byte per frame at least
  frames.resize(count);
  ReplayFrame last;
  for (ReplayFrame& f : frames) {
    const uint8_t flags = r.Byte();
    if (flags & ~(FRAME_TIME | FRAME_FOCUS | FRAME_PAD | FRAME_EVENTS)) return false;
    f.frameTime = (flags & FRAME_TIME) ? r.Float() : last.frameTime;
    f.focus = (flags & FRAME_FOCUS) != 0;
    f.pad = last.pad;
    if (flags & FRAME_PAD) {
      const uint8_t pad = r.Byte();
      if (pad == 0 || pad >= (1 << PAD_FIELDS)) return false;
      for (int i = 0; i < PAD_FIELDS; ++i)
        if ((pad & (1 << i)) && !SetPadField(f.pad, i, PadField(last.pad, i) + r.Ranged(-0x10000, 0x10000)))
          return false;
    }
    if (flags & FRAME_EVENTS) {
      const uint64_t n = r.Varint();
      if (n == 0 || n > MAX_EVENTS) return false;
      f.events.resize(n);
      for (InputEvent& e : f.events) {
        const uint8_t kind = r.Byte();
        if (kind > static_cast<uint8_t>(InputEvent::Kind::MouseTo)) return false;
        e.kind = static_cast<InputEvent::Kind>(kind);
        if (e.kind == InputEvent::Kind::MouseTo) {
          e.x = r.Float();
          e.y = r.Float();
        } else {
          e.code = static_cast<int>(r.Ranged(-100000, 100000));
          if (e.kind != InputEvent::Kind::Wheel && (e.code < 0 || e.code > 255)) return false;
        }
      }
    }
    if (!r.ok) return false;
    last = f;
    last.events.clear();
  }
  return true;
}

std::string Body(const Replay& p) {
  Writer w;
  w.Text(p.gameVersion);
  w.Text(p.levelName);
  w.Text(p.levelPath);
  w.Varint(p.levelChecksum);
  w.Signed(p.stateId);
  w.Signed(p.levelIndex);
  w.Byte(p.ownLevel ? 2 : p.playTest ? 1 : 0);
  w.Signed(p.screenWidth);
  w.Signed(p.screenHeight);
  w.Varint(p.seed);
  w.Varint(p.weaponDraws);
  w.Signed(p.loadingTimeoutFrame);
  w.Text(p.loadout);
  for (uint8_t b : p.start.keyDown) w.Byte(b);
  for (uint8_t b : p.start.keyTriggered) w.Byte(b);
  w.Float(p.start.mouseX);
  w.Float(p.start.mouseY);
  w.Byte(static_cast<uint8_t>((p.start.usingGamepad ? 1 : 0) | (p.start.cheatMode ? 2 : 0)));
  w.Varint(p.start.padPrevious);
  w.Byte(p.outcome.won ? 1 : 0);
  w.Signed(p.outcome.frames);
  w.Signed(p.outcome.hp);
  w.Signed(p.outcome.stars);
  w.Float(p.outcome.thermometer);
  w.Signed(p.outcome.total);
  WriteFrames(w, p.frames);
  w.Varint(p.trace.size());
  int lastFrame = -1;
  for (const TracePoint& t : p.trace) {
    w.Signed(t.frame - lastFrame);
    lastFrame = t.frame;
    w.Float(t.x);
    w.Float(t.y);
    w.Float(t.rotation);
  }
  return w.bytes;
}

bool ParseBody(const std::string& body, int format, Replay& p) {
  Reader r{body};
  p.gameVersion = r.Text();
  p.levelName = r.Text();
  p.levelPath = r.Text();
  const uint64_t checksum = r.Varint();
  if (checksum > 0xFFFFFFFFull) r.ok = false;
  p.levelChecksum = static_cast<uint32_t>(checksum);
  p.stateId = static_cast<int>(r.Ranged(0, 64));
  p.levelIndex = static_cast<int>(r.Ranged(-1, 64));
  const uint8_t kind = r.Byte();
  if (kind > (format >= 2 ? 2 : 1)) r.ok = false;
  p.playTest = kind == 1;
  p.ownLevel = kind == 2;
  if (format >= 2) {
    p.screenWidth = static_cast<int>(r.Ranged(1, 100000));
    p.screenHeight = static_cast<int>(r.Ranged(1, 100000));
  }
  const uint64_t seed = r.Varint();
  if (seed > 0xFFFFFFFFull) r.ok = false;
  p.seed = static_cast<uint32_t>(seed);
  p.weaponDraws = r.Varint();
  if (p.weaponDraws > (1ull << 40)) r.ok = false;
  p.loadingTimeoutFrame = static_cast<int>(r.Ranged(-1, static_cast<int64_t>(MAX_FRAMES)));
  p.loadout = r.Text();
  for (uint8_t& b : p.start.keyDown) b = r.Byte();
  for (uint8_t& b : p.start.keyTriggered) b = r.Byte();
  p.start.mouseX = r.Float();
  p.start.mouseY = r.Float();
  const uint8_t bits = r.Byte();
  if (bits > 3) r.ok = false;
  p.start.usingGamepad = bits & 1;
  p.start.cheatMode = bits & 2;
  p.start.padPrevious = static_cast<uint16_t>(r.Ranged(0, 0xFFFF));
  const uint8_t won = r.Byte();
  if (won > 1) r.ok = false;
  p.outcome.won = won == 1;
  p.outcome.frames = static_cast<int>(r.Ranged(0, static_cast<int64_t>(MAX_FRAMES)));
  p.outcome.hp = static_cast<int>(r.Ranged(-1000000, 1000000));
  p.outcome.stars = static_cast<int>(r.Ranged(0, 1000000));
  p.outcome.thermometer = r.Float();
  p.outcome.total = static_cast<int>(r.Ranged(-2147483648ll, 2147483647ll));
  if (!r.ok || !ReadFrames(r, p.frames)) return false;
  const uint64_t points = r.Varint();
  if (!r.ok || points > p.frames.size() / TRACE_EVERY_FRAMES + 1) return false;
  p.trace.resize(points);
  int lastFrame = -1;
  for (TracePoint& t : p.trace) {
    t.frame = lastFrame + static_cast<int>(r.Ranged(1, static_cast<int64_t>(MAX_FRAMES)));
    if (t.frame > static_cast<int>(p.frames.size())) r.ok = false;
    lastFrame = t.frame;
    t.x = r.Float();
    t.y = r.Float();
    t.rotation = r.Float();
  }
  return r.ok && r.at == body.size();
}

void PutU32(std::string& s, uint32_t v) {
  for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>(v >> (8 * i)));
}
uint32_t GetU32(const std::string& s, size_t at) {
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(static_cast<uint8_t>(s[at + i])) << (8 * i);
  return v;
}

} // namespace

const char* GameVersion() { return KVO_GAME_VERSION; }

std::string EncodeReplay(const Replay& replay) {
  const std::string body = Body(replay);
  uLongf packedSize = compressBound(body.size());
  std::string packed(packedSize, '\0');
  compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(body.data()),
            body.size(), Z_BEST_COMPRESSION);
  packed.resize(packedSize);
  std::string file(MAGIC, 3);
  file.push_back(static_cast<char>(REPLAY_FORMAT)); // the body is always written in this format's layout
  PutU32(file, static_cast<uint32_t>(body.size()));
  PutU32(file, static_cast<uint32_t>(crc32(0L, reinterpret_cast<const Bytef*>(body.data()), body.size())));
  return file + packed;
}

bool DecodeReplay(const std::string& bytes, Replay& out, std::string& error) {
  out = Replay();
  if (bytes.size() < 12 || std::memcmp(bytes.data(), MAGIC, 3) != 0) {
    error = "is not a replay";
    return false;
  }
  const int format = static_cast<uint8_t>(bytes[3]);
  if (format < OLDEST_REPLAY_FORMAT || format > REPLAY_FORMAT) {
    error = "is a replay of format " + std::to_string(format) + ", this game reads formats " +
            std::to_string(OLDEST_REPLAY_FORMAT) + " to " + std::to_string(REPLAY_FORMAT);
    return false;
  }
  const uint32_t size = GetU32(bytes, 4), crc = GetU32(bytes, 8);
  // Deflate packs at most about 1032 to 1: a larger claim is a lie, not a reason to allocate.
  if (size > MAX_BODY || size > (bytes.size() - 12) * 1032 + 64) {
    error = "is damaged (its body claims " + std::to_string(size) + " bytes)";
    return false;
  }
  std::string body(size, '\0');
  uLongf bodySize = size;
  const int inflated = uncompress(reinterpret_cast<Bytef*>(body.data()), &bodySize,
                                  reinterpret_cast<const Bytef*>(bytes.data() + 12), bytes.size() - 12);
  if (inflated != Z_OK || bodySize != size ||
      crc32(0L, reinterpret_cast<const Bytef*>(body.data()), body.size()) != crc) {
    error = "is damaged or cut short";
    return false;
  }
  if (!ParseBody(body, format, out)) {
    out = Replay();
    error = "is damaged (its contents do not parse)";
    return false;
  }
  out.format = format;
  return true;
}

bool ReadReplayFile(const std::string& path, Replay& out, std::string& error) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    out = Replay();
    error = "cannot be opened";
    return false;
  }
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  return DecodeReplay(bytes, out, error);
}

bool WriteReplayFile(const std::string& path, const Replay& replay, std::string& error) {
  return ReplaceFileWhole(path, EncodeReplay(replay), error);
}

uint32_t ReplayChecksum(const std::vector<std::string>& paths) {
  uLong crc = crc32(0L, Z_NULL, 0);
  for (const std::string& path : paths) {
    std::ifstream file(path, std::ios::binary);
    const std::string bytes = file ? std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>())
                                   : path;
    crc = crc32(crc, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size()));
  }
  return static_cast<uint32_t>(crc);
}
