// Helpers for tests that need a scratch folder or a changed environment.
#pragma once

#include <string>

// A fresh empty folder under the system's temporary folder, removed with its contents when the
// object goes.
class ScratchFolder {
  public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

// Sets (or, with a null value, removes) an environment variable of this process.
void SetEnvironment(const char* name, const char* value);

// Writes bytes to path, replacing what was there. Returns false on failure.
bool WriteFileBytes(const std::string& path, const std::string& bytes);

// Returns the bytes of the file at path, or empty when it cannot be read.
std::string ReadFileBytes(const std::string& path);
