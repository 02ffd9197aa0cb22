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

TEST(GameBinary, OpensItsWindowPrintsItsStartAndExitsCleanlyWhenClosed) {
  int out[2];
  ASSERT_EQ(pipe(out), 0);
  pid_t pid = fork();
  if (pid == 0) {
    dup2(out[1], STDOUT_FILENO);
    execl("./Kvo", "Kvo", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(out[1]);
  std::string printed;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  auto readSome = [&] {
    pollfd p{out[0], POLLIN, 0};
    char buffer[4096];
    ssize_t n = poll(&p, 1, 50) > 0 ? read(out[0], buffer, sizeof buffer) : 0;
    if (n > 0) printed.append(buffer, static_cast<size_t>(n));
  };
  while (printed.find("Exist\n") == std::string::npos && std::chrono::steady_clock::now() < deadline) readSome();
  EXPECT_NE(printed.find("true case\nExist\n"), std::string::npos) << printed;

  // What a window manager's close button sends.
  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr);
  Window window = 0;
  while (!(window = FindWindowOf(display, pid)) && std::chrono::steady_clock::now() < deadline)
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

  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      FAIL() << "the game did not end when its window was closed\n" << printed;
    }
    readSome();
  }
  ASSERT_TRUE(WIFEXITED(status)) << printed;
  EXPECT_EQ(WEXITSTATUS(status), 0) << printed;
}

} // namespace
