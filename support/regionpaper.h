#pragma once

// The two papers that printers are sold with: Excel prints a sheet that names no paper on its
// printer's default, which follows the user's region.
enum class Paper
{
    A4,
    Letter
};

// The default paper of the region of the locale that names paper sizes, as POSIX picks it from
// the environment: LC_ALL, else LC_PAPER, else LANG, the first one set and not empty. Letter for
// the regions that use it, A4 elsewhere and where the locale names no region (C, POSIX).
Paper RegionPaper(const char* lcAll, const char* lcPaper, const char* lang);

// RegionPaper() of this process's environment.
Paper UserRegionPaper();
