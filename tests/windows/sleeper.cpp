// Sleeps for the seconds of its argument: the small program whose renamed copies the process
// helper tests start on Windows, which has no /bin/sleep.
#include <chrono>
#include <cstdlib>
#include <thread>

int main(int argc, char** argv)
{
    std::this_thread::sleep_for(std::chrono::seconds(argc > 1 ? std::atoi(argv[1]) : 0));
    return 0;
}
