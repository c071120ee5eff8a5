// SPDX-License-Identifier: MIT
#include "document/safe_file.h"

namespace kotoha {

FileResult WriteFileSafely(const std::string& path,
                           const std::function<bool(FdSink& sink)>& write) {
    const ReplaceResult result = ReplaceFileContents(path, write);
    if (result.ok())
        return {};
    const FileAccess access =
        result.stage == ReplaceResult::Stage::Create ? FileAccess::Create : FileAccess::Write;
    FileResult failure{ClassifyErrno(result.error), access};
    if (result.damaged)
        failure.damagedCopy = result.keptCopy;
    return failure;
}

}  // namespace kotoha
