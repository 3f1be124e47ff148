#include "IconFiles.h"

#include "EmblemArt.h"
#include "FileFormats.h"

#include <cstdio>
#include <vector>

bool WriteIconFiles(const std::string& dir)
{
    std::vector<IconImage> images;
    bool ok = true;
    for (int size : kIconSizes)
    {
        const RgbaPicture icon = PaintIcon(size);
        const std::string path = dir + "/daviz-" + std::to_string(size) + ".png";
        if (!WriteFileBytes(path, EncodePng(icon)))
        {
            std::fprintf(stderr, "daviz_assets: cannot write %s\n", path.c_str());
            ok = false;
        }
        // Windows takes the classic sizes from the .ico and scales them itself.
        if (size == 16 || size == 32 || size == 48)
        {
            images.push_back(ToIconImage(icon));
        }
    }
    const std::string ico = dir + "/daviz.ico";
    if (ok && !WriteFileBytes(ico, EncodeIco(images)))
    {
        std::fprintf(stderr, "daviz_assets: cannot write %s\n", ico.c_str());
        ok = false;
    }
    return ok;
}
