#include "platform/FolderProbe.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <memory>

bool hasSubfolders(const QByteArray& path, bool includeHidden)
{
    struct Closer {
        void operator()(DIR* d) const { ::closedir(d); }
    };
    std::unique_ptr<DIR, Closer> dir(::opendir(path.constData()));
    if (!dir)
        return false;
    const int fd = ::dirfd(dir.get());
    while (const dirent* e = ::readdir(dir.get())) {
        const char* name = e->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        if (!includeHidden && name[0] == '.')
            continue;
        if (e->d_type == DT_DIR)
            return true;
        if (e->d_type == DT_LNK || e->d_type == DT_UNKNOWN) {
            struct stat st {};
            if (::fstatat(fd, name, &st, 0) == 0 && S_ISDIR(st.st_mode))
                return true;
        }
    }
    return false;
}
