// SPDX-License-Identifier: MIT
#include "document/file_error.h"

#include <cerrno>

namespace kotoha {

FileErrorKind ClassifyErrno(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
        case ENAMETOOLONG:
            return FileErrorKind::NotFound;
        case EISDIR:
            return FileErrorKind::IsFolder;
        case EROFS:
            return FileErrorKind::ReadOnlyMedium;
        case EACCES:
        case EPERM:
        case ETXTBSY:
            return FileErrorKind::AccessDenied;
        case ENOSPC:
        case EDQUOT:
            return FileErrorKind::DiskFull;
        default:
            return FileErrorKind::Generic;
    }
}

StringId::Id FileErrorMessage(FileErrorKind kind, FileAccess access) {
    const bool reading = access == FileAccess::Read;
    switch (kind) {
        case FileErrorKind::NotFound:
            return StringId::kFileNotFound;
        case FileErrorKind::IsFolder:
            return StringId::kIsFolder;
        case FileErrorKind::ReadOnlyMedium:
            return reading ? StringId::kReadAccessDenied : StringId::kReadOnlyMedium;
        case FileErrorKind::AccessDenied:
            return reading ? StringId::kReadAccessDenied : StringId::kWriteAccessDenied;
        case FileErrorKind::DiskFull:
            return StringId::kDiskFull;
        case FileErrorKind::Generic:
            return reading ? StringId::kReadError : StringId::kWriteError;
        case FileErrorKind::None:
        case FileErrorKind::Other:
            break;
    }
    switch (access) {
        case FileAccess::Read:
            return StringId::kOpenFailed;
        case FileAccess::Create:
            return StringId::kInvalidFileName;
        case FileAccess::Write:
            break;
    }
    return StringId::kSaveFailed;
}

}  // namespace kotoha
