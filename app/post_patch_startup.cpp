#include "app/post_patch_startup.h"

#include "data/file_manager.h"
#include "data/post_patch.h"
#include "platform/process_table.h"

bool postPatchTakesOver()
{
    if (!postPatchPending())
        return false;
    std::unique_ptr<platform::ProcessTable> processes = platform::createSystemProcessTable();
    PostPatchEnvironment environment { *processes, platform::startProgram, FileManager::getModuleDirAlloc() };
    return runPostPatchStep(environment);
}
