#include "Resources.h"

#include "FolderItem.h"

namespace {
constexpr double kBuildMoment = 3403104159.0;  // seconds since 1904-01-01

// The "Resources" folder inside the parent of the executable's folder.
Picture LoadResource(Picture& cache, const char* fileName) {
    if (!cache.IsNil()) return cache;
    const FolderItem resources = FolderItem::ApplicationFolder().Parent().Child("Resources");
    if (!resources.Directory()) return Picture();
    cache = resources.Child(QString::fromLatin1(fileName)).OpenAsPicture();
    return cache;
}
}  // namespace

Picture Splash() {
    static Picture cache;
    return LoadResource(cache, "Splash.png");
}

Picture Splash21() {
    static Picture cache;
    return LoadResource(cache, "Splash21.png");
}

Date BuildDate() {
    Date date;
    date.TotalSeconds = kBuildMoment;
    return date;
}
