// kvosynth: renders the game's sound effects and music from text recipes into
// 16-bit mono WAV files. One recipe makes one file:
//
//   kvosynth RECIPE.txt OUT.wav
//
// A recipe is a list of lines; a word starting with "#" begins a comment. Effects are written as timed
// events, music as instruments, patterns and tracks on a step grid:
//
//   rate 44100                 samples per second
//   length 0.4                 seconds (effects; music takes its length from its tracks)
//   peak 0.9                   the loudest sample after normalising, 0..1
//   loop                       render as a seamless loop: tails wrap to the start
//   echo delay=0.3 feedback=0.35 mix=0.3      one echo for the whole mix
//   tone at=0 dur=0.1 wave=square f=440 to=880 vol=1 a=0.01 d=0.05 s=0.6 r=0.05
//        duty=0.5 lp=3000 lpto=800 q=0.7 vib=6 vibdepth=0.2 detune=8 noise=0.1
//   noise at=0 dur=0.2 vol=1 lp=5000 lpto=300 hp=0 a= d= s= r=
//   drum kind=kick|snare|hat|openhat|tom|clap at=0 vol=1 f=0
//   tempo 120                  beats per minute
//   steps 4                    steps per beat
//   inst NAME WAVE key=value...   WAVE: square saw triangle sine pluck noise kick snare hat openhat tom clap
//   pat NAME token...          tokens: C4 F#3 Bb2, chords C4+E4+G4, x (drum hit), "." rest,
//                              "-" hold the previous note one more step, "|" ignored, "!" suffix accents
//   track INST PAT PAT:+5 PAT*4 ...     a track plays patterns in order (":+N" transposes)
//
// Every track of a piece must be equally long; the piece loops after its last step.
// Any recipe error names the file and line and exits with status 1, so a broken
// recipe fails the build instead of shipping silence.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

[[noreturn]] void Fail(const std::string& where, const std::string& what) {
  std::fprintf(stderr, "kvosynth: %s: %s\n", where.c_str(), what.c_str());
  std::exit(1);
}

// A tiny deterministic noise source: the same recipe always renders the same bytes.
struct Noise {
  uint32_t state = 0x9e3779b9u;
  double Next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return (state / 4294967296.0) * 2.0 - 1.0;
  }
};

// Zero-delay-feedback state-variable filter: stays stable while its cutoff sweeps.
struct Svf {
  double ic1 = 0, ic2 = 0;
  void Run(double in, double cutoff, double q, double fs, double& low, double& high) {
    cutoff = std::clamp(cutoff, 10.0, fs * 0.45);
    const double g = std::tan(kPi * cutoff / fs);
    const double k = 1.0 / std::max(q, 0.1);
    const double a1 = 1.0 / (1.0 + g * (g + k));
    const double v3 = in - ic2;
    const double v1 = a1 * ic1 + g * a1 * v3;
    const double v2 = ic2 + g * v1;
    ic1 = 2 * v1 - ic1;
    ic2 = 2 * v2 - ic2;
    low = v2;
    high = in - k * v1 - v2;
  }
};

enum class Wave { Square, Saw, Triangle, Sine, Pluck, Noise, Kick, Snare, Hat, OpenHat, Tom, Clap };

bool ParseWave(const std::string& s, Wave& w) {
  static const std::map<std::string, Wave> names = {
      {"square", Wave::Square}, {"saw", Wave::Saw},       {"triangle", Wave::Triangle},
      {"sine", Wave::Sine},     {"pluck", Wave::Pluck},   {"noise", Wave::Noise},
      {"kick", Wave::Kick},     {"snare", Wave::Snare},   {"hat", Wave::Hat},
      {"openhat", Wave::OpenHat}, {"tom", Wave::Tom},     {"clap", Wave::Clap}};
  auto it = names.find(s);
  if (it == names.end()) return false;
  w = it->second;
  return true;
}

// Sound of one voice; instruments hold one, effect events fill one in place.
struct Voice {
  Wave wave = Wave::Square;
  double vol = 0.5;
  double a = 0.005, d = 0.1, s = 0.7, r = 0.05;  // envelope, seconds and sustain level
  double duty = 0.5;
  double lp = 0, lpTo = 0, q = 0.707;            // lowpass cutoff sweep in Hz (0 = open)
  double hp = 0;                                 // highpass cutoff in Hz (0 = none)
  double vib = 0, vibDepth = 0;                  // vibrato rate Hz, depth in semitones
  double detune = 0;                             // cents; adds a second oscillator
  double noiseMix = 0;                           // white noise mixed into a tone
  double gate = 0.85;                            // share of a step a note sounds
  double echo = 0;                               // send to the echo
  double damp = 0.996;                           // pluck string damping per period
  int transpose = 0;                             // semitones
};

double Poly(double t, double dt) {  // band-limits the edges of square and saw waves
  if (t < dt) { t /= dt; return t + t - t * t - 1.0; }
  if (t > 1.0 - dt) { t = (t - 1.0) / dt; return t * t + t + t + 1.0; }
  return 0.0;
}

class Mix {
 public:
  Mix(double fs, size_t frames, bool loop) : fs_(fs), loop_(loop), dry_(frames, 0.0), send_(frames, 0.0) {}

  void Add(size_t at, double value, double echoSend) {
    if (at >= dry_.size()) {
      if (!loop_) return;
      at %= dry_.size();
    }
    dry_[at] += value;
    send_[at] += value * echoSend;
  }

  // Plays one note (or effect event) starting at time t0 for dur seconds plus release.
  void Play(const Voice& v, double t0, double dur, double f0, double f1, double gain, Noise& noise) {
    switch (v.wave) {
      case Wave::Kick: case Wave::Snare: case Wave::Hat: case Wave::OpenHat: case Wave::Tom: case Wave::Clap:
        Drum(v, t0, gain, f0, noise);
        return;
      default: break;
    }
    const double total = dur + v.r;
    const size_t n = static_cast<size_t>(total * fs_);
    const size_t start = static_cast<size_t>(t0 * fs_);
    double phase = 0, phase2 = 0;
    Svf lp, hp;
    std::vector<double> string;
    size_t strPos = 0;
    if (v.wave == Wave::Pluck) {
      const size_t period = std::max<size_t>(2, static_cast<size_t>(std::lround(fs_ / f0)));
      string.resize(period);
      double prev = 0;
      for (auto& x : string) { prev = 0.5 * prev + 0.5 * noise.Next(); x = prev; }
    }
    const double releaseLevel = Envelope(v, dur, dur);
    for (size_t i = 0; i < n; ++i) {
      const double t = i / fs_;
      const double env = t < dur ? Envelope(v, t, dur) : releaseLevel * std::max(0.0, 1.0 - (t - dur) / std::max(v.r, 1e-4));
      const double progress = dur > 0 ? std::min(t / dur, 1.0) : 1.0;
      double f = f0 * std::pow(f1 / f0, progress);
      if (v.vib > 0) f *= std::pow(2.0, v.vibDepth * std::sin(2 * kPi * v.vib * t) / 12.0);
      double x = Osc(v, f, phase, noise);
      if (v.detune != 0) x = 0.5 * (x + Osc(v, f * std::pow(2.0, v.detune / 1200.0), phase2, noise));
      if (v.wave == Wave::Pluck) {
        const size_t next = (strPos + 1) % string.size();
        const double y = string[strPos];
        string[strPos] = v.damp * 0.5 * (string[strPos] + string[next]);
        strPos = next;
        x = y;
      }
      if (v.noiseMix > 0) x = x * (1 - v.noiseMix) + noise.Next() * v.noiseMix;
      if (v.lp > 0) {
        double lo, hi;
        const double cut = v.lpTo > 0 ? v.lp * std::pow(v.lpTo / v.lp, progress) : v.lp;
        lp.Run(x, cut, v.q, fs_, lo, hi);
        x = lo;
      }
      if (v.hp > 0) {
        double lo, hi;
        hp.Run(x, v.hp, 0.707, fs_, lo, hi);
        x = hi;
      }
      Add(start + i, x * env * v.vol * gain, v.echo);
    }
  }

  void Echo(double delay, double feedback, double mix) {
    const size_t len = dry_.size();
    const size_t lag = std::max<size_t>(1, static_cast<size_t>(delay * fs_));
    std::vector<double> line(lag, 0.0);
    std::vector<double> wet(len, 0.0);
    size_t pos = 0;
    // A loop runs the delay line round twice so the echoes at its start are the
    // ones that spill over from its end.
    const int passes = loop_ ? 2 : 1;
    for (int p = 0; p < passes; ++p) {
      for (size_t i = 0; i < len; ++i) {
        const double out = line[pos];
        line[pos] = send_[i] + out * feedback;
        pos = (pos + 1) % lag;
        if (p == passes - 1) wet[i] = out;
      }
    }
    for (size_t i = 0; i < len; ++i) dry_[i] += wet[i] * mix;
  }

  std::vector<int16_t> Finish(double peak) const {
    std::vector<double> out(dry_.size());
    double top = 0;
    for (size_t i = 0; i < out.size(); ++i) out[i] = std::tanh(dry_[i] * 1.2);
    BlockDc(out);
    for (double v : out) top = std::max(top, std::fabs(v));
    const double scale = top > 0 ? peak / top : 0;
    // One-shot sounds end on a short fade so the last sample never clicks.
    const size_t fade = loop_ ? 0 : std::min(out.size(), static_cast<size_t>(0.004 * fs_));
    std::vector<int16_t> pcm(out.size());
    for (size_t i = 0; i < out.size(); ++i) {
      double v = out[i] * scale;
      if (i + fade >= out.size() && fade > 0) v *= static_cast<double>(out.size() - 1 - i) / fade;
      pcm[i] = static_cast<int16_t>(std::lround(std::clamp(v, -1.0, 1.0) * 32767.0));
    }
    return pcm;
  }

 private:
  // Kicks, pulses and the saturation leave a slow offset that only costs headroom
  // and thumps when a sound starts or stops: a 10 Hz high-pass takes it off. A loop
  // is filtered round twice so that the filter's state runs on across the seam.
  void BlockDc(std::vector<double>& x) const {
    const double pole = 1.0 - 2.0 * kPi * 10.0 / fs_;
    std::vector<double> y(x.size());
    double lastIn = 0, lastOut = 0;
    const int passes = loop_ ? 2 : 1;
    for (int p = 0; p < passes; ++p)
      for (size_t i = 0; i < x.size(); ++i) {
        lastOut = x[i] - lastIn + pole * lastOut;
        lastIn = x[i];
        y[i] = lastOut;
      }
    x.swap(y);
  }

  static double Envelope(const Voice& v, double t, double dur) {
    (void)dur;
    if (t < v.a) return t / v.a;
    t -= v.a;
    if (t < v.d) return 1.0 - (1.0 - v.s) * (t / v.d);
    return v.s;
  }

  double Osc(const Voice& v, double f, double& phase, Noise& noise) const {
    const double dt = f / fs_;
    double x = 0;
    switch (v.wave) {
      case Wave::Square:
        // A pulse narrower than half a period averages 2 * duty - 1, not 0: taking
        // that off keeps the mix centred instead of pushing it off to one side.
        x = (phase < v.duty ? 1.0 : -1.0) + Poly(phase, dt) - Poly(std::fmod(phase + 1.0 - v.duty, 1.0), dt) -
            (2.0 * v.duty - 1.0);
        break;
      case Wave::Saw: x = 2.0 * phase - 1.0 - Poly(phase, dt); break;
      case Wave::Triangle: x = 4.0 * std::fabs(phase - 0.5) - 1.0; break;
      case Wave::Sine: x = std::sin(2 * kPi * phase); break;
      case Wave::Noise: x = noise.Next(); break;
      default: break;
    }
    phase += dt;
    if (phase >= 1.0) phase -= 1.0;
    return x;
  }

  void Drum(const Voice& v, double t0, double gain, double tune, Noise& noise) {
    const size_t start = static_cast<size_t>(t0 * fs_);
    double len = 0.3;
    switch (v.wave) {
      case Wave::Kick: len = 0.45; break;
      case Wave::Snare: len = 0.25; break;
      case Wave::Hat: len = 0.06; break;
      case Wave::OpenHat: len = 0.3; break;
      case Wave::Tom: len = 0.4; break;
      case Wave::Clap: len = 0.25; break;
      default: break;
    }
    const size_t n = static_cast<size_t>(len * fs_);
    double phase = 0;
    Svf f1;
    for (size_t i = 0; i < n; ++i) {
      const double t = i / fs_;
      double x = 0, lo = 0, hi = 0;
      switch (v.wave) {
        case Wave::Kick: {
          const double f = 45.0 + 110.0 * std::exp(-t * 28.0);
          phase += f / fs_;
          x = std::sin(2 * kPi * phase) * std::exp(-t * 7.0) + noise.Next() * 0.3 * std::exp(-t * 300.0);
          break;
        }
        case Wave::Tom: {
          const double base = tune > 0 ? tune : 110.0;
          const double f = base * (0.7 + 0.3 * std::exp(-t * 20.0));
          phase += f / fs_;
          x = std::sin(2 * kPi * phase) * std::exp(-t * 9.0);
          break;
        }
        case Wave::Snare: {
          phase += 190.0 / fs_;
          f1.Run(noise.Next(), 2400.0, 0.8, fs_, lo, hi);
          x = 0.8 * (lo + hi * 0.6) * std::exp(-t * 16.0) + 0.5 * std::sin(2 * kPi * phase) * std::exp(-t * 30.0);
          break;
        }
        case Wave::Hat: case Wave::OpenHat: {
          f1.Run(noise.Next(), 7500.0, 0.7, fs_, lo, hi);
          x = hi * std::exp(-t * (v.wave == Wave::Hat ? 70.0 : 11.0));
          break;
        }
        case Wave::Clap: {
          f1.Run(noise.Next(), 1500.0, 1.2, fs_, lo, hi);
          const double bursts = (t < 0.03) ? (std::fmod(t, 0.01) < 0.004 ? 1.0 : 0.3) : 1.0;
          x = (hi + lo) * 0.7 * bursts * std::exp(-t * 14.0);
          break;
        }
        default: break;
      }
      Add(start + i, x * v.vol * gain, v.echo);
    }
  }

  double fs_;
  bool loop_;
  std::vector<double> dry_, send_;
};

bool ParseNote(const std::string& tok, int& midi) {
  static const int base[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
  if (tok.size() < 2 || tok[0] < 'A' || tok[0] > 'G') return false;
  int semi = base[tok[0] - 'A'];
  size_t i = 1;
  if (tok[i] == '#') { ++semi; ++i; } else if (tok[i] == 'b') { --semi; ++i; }
  if (i >= tok.size()) return false;
  char* end = nullptr;
  const long octave = std::strtol(tok.c_str() + i, &end, 10);
  if (*end != '\0' || octave < 0 || octave > 9) return false;
  midi = static_cast<int>(12 * (octave + 1) + semi);
  return true;
}

double MidiToHz(int m) { return 440.0 * std::pow(2.0, (m - 69) / 12.0); }

// One step of a pattern: a rest, a hold, or a note/chord/drum hit.
struct Step {
  enum Kind { Rest, Hold, Hit } kind = Rest;
  std::vector<int> notes;  // midi numbers; empty for a drum hit
  double accent = 1.0;
};

struct Recipe {
  double rate = 44100, length = 0, peak = 0.9, tempo = 120, stepsPerBeat = 4;
  bool loop = false;
  bool echo = false;
  double echoDelay = 0.25, echoFeedback = 0.3, echoMix = 0.3;
  std::map<std::string, Voice> insts;
  std::map<std::string, std::vector<Step>> pats;
  std::vector<std::pair<std::string, std::vector<Step>>> tracks;  // in file order
  struct Event { Voice v; double at, dur, f0, f1; };
  std::vector<Event> events;
};

double Number(const std::string& where, const std::string& key, const std::string& value) {
  char* end = nullptr;
  const double v = std::strtod(value.c_str(), &end);
  if (value.empty() || *end != '\0' || !std::isfinite(v)) Fail(where, "'" + key + "' needs a number, not '" + value + "'");
  return v;
}

// Applies key=value pairs to a voice; "at", "dur", "f", "to" go to the event timing.
void ApplyParams(const std::string& where, const std::vector<std::string>& toks, size_t from, Voice& v,
                 double* at, double* dur, double* f0, double* f1) {
  for (size_t i = from; i < toks.size(); ++i) {
    const auto eq = toks[i].find('=');
    if (eq == std::string::npos) Fail(where, "expected key=value, got '" + toks[i] + "'");
    const std::string k = toks[i].substr(0, eq), val = toks[i].substr(eq + 1);
    if (k == "wave" || k == "kind") {
      if (!ParseWave(val, v.wave)) Fail(where, "unknown wave '" + val + "'");
      continue;
    }
    const double x = Number(where, k, val);
    if (k == "vol") v.vol = x;
    else if (k == "a") v.a = std::max(x, 1e-4);
    else if (k == "d") v.d = std::max(x, 1e-4);
    else if (k == "s") v.s = x;
    else if (k == "r") v.r = std::max(x, 1e-4);
    else if (k == "duty") v.duty = std::clamp(x, 0.05, 0.95);
    else if (k == "lp") v.lp = x;
    else if (k == "lpto") v.lpTo = x;
    else if (k == "q") v.q = x;
    else if (k == "hp") v.hp = x;
    else if (k == "vib") v.vib = x;
    else if (k == "vibdepth") v.vibDepth = x;
    else if (k == "detune") v.detune = x;
    else if (k == "noise") v.noiseMix = std::clamp(x, 0.0, 1.0);
    else if (k == "gate") v.gate = std::clamp(x, 0.05, 1.0);
    else if (k == "echo") v.echo = x;
    else if (k == "damp") v.damp = std::clamp(x, 0.5, 0.99999);
    else if (k == "transpose") v.transpose = static_cast<int>(x);
    else if (k == "at" && at) *at = x;
    else if (k == "dur" && dur) *dur = x;
    else if (k == "f" && f0) *f0 = x;
    else if (k == "to" && f1) *f1 = x;
    else Fail(where, "unknown key '" + k + "'");
  }
}

Recipe Parse(const std::string& path) {
  std::ifstream in(path);
  if (!in) Fail(path, "cannot open");
  Recipe rc;
  std::string line;
  int lineNo = 0;
  while (std::getline(in, line)) {
    ++lineNo;
    const std::string where = path + ":" + std::to_string(lineNo);
    // A comment starts at a "#" that begins a word, so sharps like F#4 survive.
    for (size_t i = 0; i < line.size(); ++i)
      if (line[i] == '#' && (i == 0 || std::isspace(static_cast<unsigned char>(line[i - 1])))) {
        line.erase(i);
        break;
      }
    std::istringstream ss(line);
    std::vector<std::string> t;
    for (std::string w; ss >> w;) t.push_back(w);
    if (t.empty()) continue;
    const std::string& cmd = t[0];
    auto need = [&](size_t n) { if (t.size() < n) Fail(where, "'" + cmd + "' needs more arguments"); };
    if (cmd == "rate") { need(2); rc.rate = Number(where, cmd, t[1]); }
    else if (cmd == "length") { need(2); rc.length = Number(where, cmd, t[1]); }
    else if (cmd == "peak") { need(2); rc.peak = std::clamp(Number(where, cmd, t[1]), 0.01, 1.0); }
    else if (cmd == "tempo") { need(2); rc.tempo = Number(where, cmd, t[1]); }
    else if (cmd == "steps") { need(2); rc.stepsPerBeat = Number(where, cmd, t[1]); }
    else if (cmd == "loop") { rc.loop = true; }
    else if (cmd == "echo") {
      rc.echo = true;
      for (size_t i = 1; i < t.size(); ++i) {
        const auto eq = t[i].find('=');
        if (eq == std::string::npos) Fail(where, "expected key=value");
        const std::string k = t[i].substr(0, eq);
        const double x = Number(where, k, t[i].substr(eq + 1));
        if (k == "delay") rc.echoDelay = x;
        else if (k == "feedback") rc.echoFeedback = std::clamp(x, 0.0, 0.95);
        else if (k == "mix") rc.echoMix = x;
        else Fail(where, "unknown echo key '" + k + "'");
      }
    } else if (cmd == "tone" || cmd == "noise" || cmd == "drum") {
      Recipe::Event e{Voice{}, 0, 0.1, 440, 0};
      e.v.vol = 1.0;
      e.v.gate = 1.0;
      if (cmd == "noise") e.v.wave = Wave::Noise;
      if (cmd == "drum") e.v.wave = Wave::Kick;
      ApplyParams(where, t, 1, e.v, &e.at, &e.dur, &e.f0, &e.f1);
      if (e.f1 <= 0) e.f1 = e.f0;
      if (e.f0 <= 0 || e.dur < 0 || e.at < 0) Fail(where, "frequencies must be positive, times not negative");
      rc.events.push_back(e);
    } else if (cmd == "inst") {
      need(3);
      Voice v;
      if (!ParseWave(t[2], v.wave)) Fail(where, "unknown wave '" + t[2] + "'");
      ApplyParams(where, t, 3, v, nullptr, nullptr, nullptr, nullptr);
      rc.insts[t[1]] = v;
    } else if (cmd == "pat") {
      need(2);
      auto& steps = rc.pats[t[1]];
      for (size_t i = 2; i < t.size(); ++i) {
        std::string tok = t[i];
        if (tok == "|") continue;
        Step st;
        if (!tok.empty() && tok.back() == '!') { st.accent = 1.35; tok.pop_back(); }
        if (tok == ".") st.kind = Step::Rest;
        else if (tok == "-") st.kind = Step::Hold;
        else if (tok == "x") st.kind = Step::Hit;
        else {
          st.kind = Step::Hit;
          std::stringstream parts(tok);
          for (std::string n; std::getline(parts, n, '+');) {
            int m = 0;
            if (!ParseNote(n, m)) Fail(where, "bad note '" + n + "'");
            st.notes.push_back(m);
          }
        }
        steps.push_back(st);
      }
    } else if (cmd == "track") {
      need(3);
      if (!rc.insts.count(t[1])) Fail(where, "unknown instrument '" + t[1] + "'");
      std::vector<Step>* dest = nullptr;
      for (auto& tr : rc.tracks) if (tr.first == t[1]) dest = &tr.second;
      if (!dest) { rc.tracks.push_back({t[1], {}}); dest = &rc.tracks.back().second; }
      for (size_t i = 2; i < t.size(); ++i) {
        std::string name = t[i];
        int times = 1, shift = 0;
        if (const auto star = name.find('*'); star != std::string::npos) {
          times = static_cast<int>(Number(where, "*", name.substr(star + 1)));
          name.erase(star);
        }
        if (const auto colon = name.find(':'); colon != std::string::npos) {
          shift = static_cast<int>(Number(where, ":", name.substr(colon + 1)));
          name.erase(colon);
        }
        auto it = rc.pats.find(name);
        if (it == rc.pats.end()) Fail(where, "unknown pattern '" + name + "'");
        for (int k = 0; k < times; ++k)
          for (Step st : it->second) {
            for (int& m : st.notes) m += shift;
            dest->push_back(st);
          }
      }
    } else {
      Fail(where, "unknown command '" + cmd + "'");
    }
  }
  return rc;
}

void WriteWav(const std::string& path, const std::vector<int16_t>& pcm, uint32_t rate) {
  std::ofstream out(path, std::ios::binary);
  if (!out) Fail(path, "cannot write");
  auto u32 = [&](uint32_t v) { for (int i = 0; i < 4; ++i) out.put(static_cast<char>((v >> (8 * i)) & 0xff)); };
  auto u16 = [&](uint16_t v) { out.put(static_cast<char>(v & 0xff)); out.put(static_cast<char>(v >> 8)); };
  const uint32_t bytes = static_cast<uint32_t>(pcm.size() * 2);
  out.write("RIFF", 4); u32(36 + bytes); out.write("WAVE", 4);
  out.write("fmt ", 4); u32(16); u16(1); u16(1); u32(rate); u32(rate * 2); u16(2); u16(16);
  out.write("data", 4); u32(bytes);
  for (int16_t s : pcm) u16(static_cast<uint16_t>(s));
  if (!out) Fail(path, "write failed");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: kvosynth RECIPE.txt OUT.wav\n");
    return 2;
  }
  const Recipe rc = Parse(argv[1]);
  const double stepLen = 60.0 / rc.tempo / rc.stepsPerBeat;
  size_t steps = 0;
  for (const auto& tr : rc.tracks) {
    if (steps && tr.second.size() != steps)
      Fail(argv[1], "track '" + tr.first + "' has " + std::to_string(tr.second.size()) + " steps, others " + std::to_string(steps));
    steps = tr.second.size();
  }
  const double length = steps ? steps * stepLen : rc.length;
  if (length <= 0 || length > 120) Fail(argv[1], "length must lie in 0..120 s");
  Mix mix(rc.rate, static_cast<size_t>(std::lround(length * rc.rate)), rc.loop);
  Noise noise;
  for (const auto& e : rc.events) mix.Play(e.v, e.at, e.dur, e.f0, e.f1, 1.0, noise);
  for (const auto& [name, track] : rc.tracks) {
    const Voice& v = rc.insts.at(name);
    for (size_t i = 0; i < track.size(); ++i) {
      const Step& st = track[i];
      if (st.kind != Step::Hit) continue;
      size_t holds = 0;
      while (i + 1 + holds < track.size() && track[i + 1 + holds].kind == Step::Hold) ++holds;
      const double dur = (holds + v.gate) * stepLen;
      if (st.notes.empty()) {
        mix.Play(v, i * stepLen, dur, 100.0, 100.0, st.accent, noise);
        continue;
      }
      const double chordGain = 1.0 / std::sqrt(static_cast<double>(st.notes.size()));
      for (int m : st.notes) {
        const double f = MidiToHz(m + v.transpose);
        mix.Play(v, i * stepLen, dur, f, f, st.accent * chordGain, noise);
      }
    }
  }
  if (rc.echo) mix.Echo(rc.echoDelay, rc.echoFeedback, rc.echoMix);
  WriteWav(argv[2], mix.Finish(rc.peak), static_cast<uint32_t>(rc.rate));
  return 0;
}
