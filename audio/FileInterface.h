#pragma once
// An open file of the engine's file system, and FileLimited, a window onto one member of the
// sound archive: reads and seeks are confined to [start, start + size) of the archive file.

#include <string>

namespace kez {

enum KezFileAccessMode : int {};  // 0..11: "r" "w" "a" "r+" "w+" "a+" "rb" "wb" "ab" "r+b" "w+b" "a+b"
enum KezFileSeekOrigin : int {};  // 0 start, 1 current, 2 end

class FileInterface {
public:
    FileInterface(const char* path, void* handle) : path(path ? path : ""), handle(handle) {}
    virtual ~FileInterface() = default;  // the handle is closed by CloseFile

    virtual int Read(void* buffer, int size, int count);         // elements read; 0 without handle
    virtual int Seek(int offset, KezFileSeekOrigin origin);      // 0 on success, -1 without handle
    virtual int Tell();                                          // -1 without handle
    virtual int Write(const void* buffer, int size, int count);  // elements written
    virtual const char* GetFilePath() const { return path.c_str(); }
    virtual void* GetFilePtr() const { return handle; }

protected:
    std::string path;
    void* handle;
};

class FileLimited : public FileInterface {
public:
    FileLimited(void* handle, const char* path, int start, int size);  // positioned at the window's start

    int Read(void* buffer, int elementSize, int count) override;  // never past the window's end
    int Seek(int offset, KezFileSeekOrigin origin) override;      // failure: -1, handle not moved
    int Tell() override { return position; }
    int Write(const void*, int, int) override { return 0; }

    int Start() const { return start; }
    int Size() const { return size; }

private:
    int start;
    int size;
    int position = 0;
};

}  // namespace kez
