// The game itself: started as a player starts it, closed with the window's close button.
#include <gtest/gtest.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <chrono>
#include <csignal>
#include <poll.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <algorithm>
#include <vector>

namespace {

// The top-level window of process pid (SDL marks it with _NET_WM_PID), or 0.
Window FindWindowOf(Display* display, pid_t pid) {
  Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
  Window root = 0, parent = 0, *children = nullptr, found = 0;
  unsigned count = 0;
  XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count);
  for (unsigned i = 0; i < count && !found; ++i) {
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display, children[i], pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &items, &after, &data);
    if (data && items == 1 && static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data)) == pid) found = children[i];
    if (data) XFree(data);
  }
  if (children) XFree(children);
  return found;
}

// The game started from the working directory, its standard output read as it comes.
struct Game {
  explicit Game(bool withoutDisplay, std::vector<std::string> arguments = {}) {
    int out[2];
    if (pipe(out) != 0) return;
    std::vector<char*> argv{const_cast<char*>("Kvo")};
    for (std::string& a : arguments) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid = fork();
    if (pid == 0) {
      dup2(out[1], STDOUT_FILENO);
      if (argv.size() > 2) dup2(out[1], STDERR_FILENO); // a command line's answer, whichever stream
      // Without a display a message box cannot wait for a click.
      if (withoutDisplay) {
        unsetenv("DISPLAY");
        setenv("SDL_VIDEODRIVER", "dummy", 1);
      }
      execv("./Kvo", argv.data());
      _exit(127);
    }
    close(out[1]);
    fd = out[0];
  }
  ~Game() {
    if (pid > 0 && waitpid(pid, nullptr, WNOHANG) == 0) { // a failed test leaves no game behind
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
    close(fd);
  }
  void ReadSome() {
    pollfd p{fd, POLLIN, 0};
    char buffer[4096];
    ssize_t n = poll(&p, 1, 50) > 0 ? read(fd, buffer, sizeof buffer) : 0;
    if (n > 0) printed.append(buffer, static_cast<size_t>(n));
  }
  bool TimedOut() const { return std::chrono::steady_clock::now() > deadline; }
  // The exit status, or -1 when the game had to be killed.
  int Wait() {
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
      if (TimedOut()) {
        return -1;
      }
      ReadSome();
    }
    ReadSome();
    pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  pid_t pid = -1;
  int fd = -1;
  std::string printed;
  std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
};

TEST(GameBinary, OpensItsWindowPrintsItsStartAndExitsCleanlyWhenClosed) {
  Game game(false);
  ASSERT_GT(game.pid, 0);
  while (game.printed.find("Exist\n") == std::string::npos && !game.TimedOut()) game.ReadSome();
  // Full screen, or the window the player last left it in (Options.txt).
  EXPECT_TRUE(game.printed.find("true case\nExist\n") != std::string::npos ||
              game.printed.find("false case\nExist\n") != std::string::npos)
      << game.printed;

  // What a window manager's close button sends.
  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr);
  Window window = 0;
  while (!(window = FindWindowOf(display, game.pid)) && !game.TimedOut())
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  ASSERT_NE(window, 0u);
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = window;
  e.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  XSendEvent(display, window, False, NoEventMask, &e);
  XCloseDisplay(display);
  EXPECT_EQ(game.Wait(), 0) << game.printed;
}

TEST(GameBinary, WithoutAGLWindowItSaysSoAndFails) {
  Game game(true);
  ASSERT_GT(game.pid, 0);
  EXPECT_EQ(game.Wait(), 1) << game.printed; // a game that could not start is no success
  EXPECT_NE(game.printed.find("Call to CreateWindow failed!"), std::string::npos) << game.printed;
  EXPECT_NE(game.printed.find("Error: there is no window to draw in"), std::string::npos) << game.printed;
}

// Answered without a window (none could open here): the help and the version, and one line
// with the usage for a command line the game cannot follow.
TEST(GameBinary, TheCommandLineIsAnsweredBeforeAnyWindow) {
  struct Case {
    std::vector<std::string> arguments;
    int exitCode;
    const char* printed;
  } cases[] = {
      {{"--help"}, 0,
       "usage: Kvo [--help] [--version] [--windowed] [--fullscreen] [--level NAME] [--editor [NAME]] [--replay FILE] "
       "[--check]\n"},
      {{"--version"}, 0, "Kvo " KVO_VERSION "\n"},
      {{"--windowed", "--bogus"}, 2, "Kvo: --bogus is not an option; usage: Kvo [--help]"},
      {{"--level"}, 2, "Kvo: --level needs a NAME; usage: Kvo"},
      {{"--level", "NOSUCHLEVEL"}, 2, "Kvo: there is no level NOSUCHLEVEL in ../Assets/Levels/; usage: Kvo"},
      {{"--editor", "NOSUCHLEVEL"}, 2, "Kvo: there is no level NOSUCHLEVEL"},
      {{"--check"}, 2, "Kvo: --check goes with --replay FILE; usage: Kvo"},
      {{"--replay"}, 2, "Kvo: --replay needs a FILE; usage: Kvo"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.back());
    Game game(true, c.arguments);
    ASSERT_GT(game.pid, 0);
    EXPECT_EQ(game.Wait(), c.exitCode);
    EXPECT_EQ(game.printed.substr(0, std::string(c.printed).size()), c.printed);
    if (c.exitCode == 2) {
      EXPECT_EQ(std::count(game.printed.begin(), game.printed.end(), '\n'), 1) << game.printed;
    }
  }
}

} // namespace
