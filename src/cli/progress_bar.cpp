#include "cli/progress_bar.h"

#include <algorithm>
#include <string>

void TProgressBar::Update(int done, int total)
{
    if (!enabled_)
        return;
    constexpr int kWidth = 30;
    const int filled = total > 0 ? std::clamp(done * kWidth / total, 0, kWidth) : kWidth;
    const std::string bar = std::string(std::size_t(filled), '#') + std::string(std::size_t(kWidth - filled), '-');
    std::fprintf(out_, "\r[%s] %d/%d", bar.c_str(), done, total);
    std::fflush(out_);
    drawn_ = true;
}

void TProgressBar::Clear()
{
    if (!drawn_)
        return;
    std::fputs("\r\033[K", out_);
    drawn_ = false;
}

void TProgressBar::Finish()
{
    if (!drawn_)
        return;
    std::fputc('\n', out_);
    drawn_ = false;
}
