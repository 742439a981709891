// Built into every program of a sanitizer build that drives an office: LeakSanitizer reads
// tests/lsan.supp, the list of what libraries keep for the life of the process, in every way
// these programs run (tests listed while building, ctest, programs that tests start), with no
// setting in the environment.
extern "C" const char* __lsan_default_options()
{
    return "suppressions=" QUILLSHEET_LSAN_SUPPRESSIONS;
}
