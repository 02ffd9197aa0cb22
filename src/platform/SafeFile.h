#pragma once
#include <string>

// Files the game writes (levels from the editor, the highscore table) replace
// the previous copy whole or not at all, even when the game is killed or the
// machine loses power in the middle of a save. The new text goes to a
// temporary file beside the target ("<path>.saving"), is forced to the disk,
// renamed over the target, and the folder is forced to the disk so that the
// rename itself is kept. A reader therefore finds the old file or the new one,
// never a part of either.

// One file on its way to replacing `path`. Write and Commit are separate so
// that a caller with several files can stage them all before replacing any.
class StagedFile {
public:
  explicit StagedFile(std::string path);
  ~StagedFile(); // removes a temporary that was never committed
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;

  // The temporary holds `text` whole and on the disk; false with Error() set.
  bool Write(const std::string& text);
  // The temporary replaces the path; false with Error() set when it could not,
  // the previous file then unchanged. Commit after a failed or missing Write
  // does nothing. True with Error() set when the folder could not be forced to
  // the disk afterwards: the file is replaced, but a power cut could undo it.
  bool Commit();
  // What failed, naming the file, for the caller's one line.
  const std::string& Error() const { return error_; }

private:
  bool Fail(const std::string& what, const std::string& file, int code);

  std::string path_;
  std::string temporary_;
  std::string error_;
  bool staged_ = false;
};

// Write and Commit of a single file; false with `error` set, the previous
// file then unchanged. `error` may be set on success as Commit describes.
bool ReplaceFileWhole(const std::string& path, const std::string& text, std::string& error);

// `hook` is called with the name of each step of a save ("open", "write",
// "sync", "close", "rename", "sync folder") just before it is taken; tests that
// kill a saving process at every step set one. None in the game; null removes it.
void SetSaveStepHook(void (*hook)(const char* step));
