#pragma once
// Stream type 1: a file of the engine's file system (archive member or disk). The stream measures
// the file once; every cursor opens the file again with a handle of its own and caches its
// position (-1: ask the file).

#include <string>

#include "audio/StreamInterface.h"

namespace kez {

class FileInterface;
class FileSystemInterface;

class StreamCFile : public StreamInterface {
public:
    explicit StreamCFile(const char* path);  // measures at once; a null or missing file gives size 0
    ~StreamCFile() override = default;

    void Init() override;  // measurement
    StreamCursorInterface* CreateNewCursor() override;  // null when the size is 0
    void DestroyCursor(StreamCursorInterface* cursor) override;
    int GetType() override { return 1; }

    const std::string& Path() const { return path; }
    FileSystemInterface* FileSystem() const { return fileSystem; }

private:
    std::string path;
    FileSystemInterface* fileSystem = nullptr;
};

class StreamCFileCursor : public StreamCursorInterface {
public:
    explicit StreamCFileCursor(StreamCFile* stream) : StreamCursorInterface(stream) {}
    ~StreamCFileCursor() override { Shutdown(); }

    void Init() override;      // opens the stream's file (the result may be null)
    void Shutdown() override;  // closes it
    int Seek(int offset, int origin) override;
    bool IsSeekable() override { return true; }
    int Tell() override;
    int Read(unsigned char* buffer, int count) override;
    bool EndOfStream() override;  // true already when one byte is left

private:
    StreamCFile* File() const { return static_cast<StreamCFile*>(m_stream); }
    FileInterface* file = nullptr;
    int position = -1;
};

StreamInterface* StreamCFileFactory(void* params);  // params: const char* path or null

}  // namespace kez
