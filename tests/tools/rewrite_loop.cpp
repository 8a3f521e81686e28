// Rewrites a file again and again, alternating between two texts, until it is killed:
//   rewrite_loop PATH FIRST_TEXT_FILE SECOND_TEXT_FILE
// The test kills it at some moment of a rewrite and looks at what the file then holds.
// Exit code 2 on bad arguments or unreadable text files, 1 when a rewrite fails.
#include "sources/AppError.h"
#include "sources/TextFile.h"

int main(int argc, char** argv) {
    if (argc != 4)
        return 2;
    const auto first = ReadTextFile(argv[2]);
    const auto second = ReadTextFile(argv[3]);
    if (!first || !second)
        return 2;
    try {
        for (unsigned round = 0;; ++round)
            RewriteTextFile(argv[1], round % 2 ? *first : *second);
    } catch (const AppError&) {
        return 1;
    }
}
