#pragma once

namespace lw {

// Keeps the memory a long job frees for its own reuse while the object lives. Qt's PDF writer
// takes fresh compression buffers for every page and frees them again; the C library would give
// them back to the system each time and have them faulted in and cleared again for the next
// page, which costs a merge of ten thousand letters more than the drawing itself. On the way out
// the settings of mapLargeBlocksApart() take over and what is free is given back at once.
class FreedMemoryKept
{
public:
    // For the whole run, blocks of 4 MB and more get mappings of their own. The C library would
    // move that threshold up to the largest block freed so far, such as a file read, and a
    // document's text would then grow within the heap by copying, the old and the new copy both
    // in memory for a time, where a mapping of its own grows in place. Smaller blocks, such as
    // those of laying out a paragraph, stay in the heap, to be used again without being cleared
    // by the system each time.
    static void mapLargeBlocksApart();

    FreedMemoryKept();
    ~FreedMemoryKept();
    FreedMemoryKept(const FreedMemoryKept&) = delete;
    FreedMemoryKept& operator=(const FreedMemoryKept&) = delete;
};

} // namespace lw
