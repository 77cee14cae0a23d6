#include "win/handle.h"

#include <cerrno>

namespace {
thread_local DWORD gLastError = ERROR_SUCCESS;
}  // namespace

DWORD GetLastError() { return gLastError; }
void SetLastError(DWORD error) { gLastError = error; }

DWORD ErrorFromErrno(int error) {
    switch (error) {
    case 0: return ERROR_SUCCESS;
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: case ENAMETOOLONG: case ELOOP: return ERROR_PATH_NOT_FOUND;
    case EACCES: case EPERM: case EROFS: case EISDIR: case ETXTBSY: return ERROR_ACCESS_DENIED;
    case EEXIST: return ERROR_FILE_EXISTS;
    case ENOEXEC: return ERROR_BAD_EXE_FORMAT;
    case EINVAL: return ERROR_INVALID_PARAMETER;
    case EBADF: return ERROR_INVALID_HANDLE;
    case ENOMEM: case EAGAIN: return ERROR_NOT_ENOUGH_MEMORY;
    default: return ERROR_WRITE_FAULT;
    }
}

THandleObject* HandleObject(HANDLE object) {
    if (!object || object == INVALID_HANDLE_VALUE) return nullptr;
    return static_cast<THandleObject*>(object);
}

BOOL CloseHandle(HANDLE object) {
    THandleObject* o = HandleObject(object);
    if (!o) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    delete o;
    return TRUE;
}
