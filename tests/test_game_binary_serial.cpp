// The game itself: started as a player starts it, closed with the window's close button.
#include <gtest/gtest.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// The top-level window the process with this id opened (window managers and SDL
// both mark it with _NET_WM_PID), or 0.
Window FindWindowOf(Display* display, pid_t pid) {
  Atom pidAtom = XInternAtom(display, "_NET_WM_PID", True);
  if (pidAtom == None) return 0;
  Window root = 0, parent = 0, *children = nullptr;
  unsigned count = 0;
  Window found = 0;
  if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) return 0;
  for (unsigned i = 0; i < count && !found; ++i) {
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, children[i], pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &items, &after,
                           &data) == Success && data) {
      if (items == 1 && static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data)) == pid) found = children[i];
      XFree(data);
    }
  }
  if (children) XFree(children);
  return found;
}

// What the close button of a window manager sends.
void AskToClose(Display* display, Window window) {
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = window;
  e.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  e.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window, False, NoEventMask, &e);
  XFlush(display);
}

// Reads what the child has printed so far, waiting up to the given time for more.
void ReadSome(int fd, std::string& into, int waitMs) {
  pollfd p{fd, POLLIN, 0};
  if (poll(&p, 1, waitMs) <= 0) return;
  char buffer[4096];
  ssize_t n = read(fd, buffer, sizeof buffer);
  if (n > 0) into.append(buffer, static_cast<size_t>(n));
}

TEST(GameBinary, OpensItsWindowPrintsItsStartAndExitsCleanlyWhenClosed) {
  int out[2];
  ASSERT_EQ(pipe(out), 0);
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    dup2(out[1], STDOUT_FILENO);
    close(out[0]);
    close(out[1]);
    execl("./Kvo", "Kvo", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(out[1]);

  std::string printed;
  Clock::time_point deadline = Clock::now() + std::chrono::seconds(30);
  while (printed.find("Exist\n") == std::string::npos && Clock::now() < deadline) ReadSome(out[0], printed, 100);
  EXPECT_NE(printed.find("true case\nExist\n"), std::string::npos) << printed;

  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr);
  Window window = 0;
  while (!(window = FindWindowOf(display, pid)) && Clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  ASSERT_NE(window, 0u) << "no window";
  char* name = nullptr;
  if (XFetchName(display, window, &name) && name) {
    EXPECT_STREQ(name, "Kvo");
    XFree(name);
  }
  AskToClose(display, window);

  int status = 0;
  pid_t done = 0;
  while ((done = waitpid(pid, &status, WNOHANG)) == 0 && Clock::now() < deadline) ReadSome(out[0], printed, 50);
  if (done == 0) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    FAIL() << "the game did not end when its window was closed\n" << printed;
  }
  XCloseDisplay(display);
  close(out[0]);
  ASSERT_TRUE(WIFEXITED(status)) << printed;
  EXPECT_EQ(WEXITSTATUS(status), 0) << printed;
}

} // namespace
