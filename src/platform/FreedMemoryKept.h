#pragma once

namespace lw {

// Keeps the memory a long job frees for its own reuse while the object lives. Qt's PDF writer
// takes fresh compression buffers for every page and frees them again; the C library would give
// them back to the system each time and have them faulted in and cleared again for the next
// page, which costs a merge of ten thousand letters more than the drawing itself. On the way out
// the library's first settings come back and what is free is given back at once.
class FreedMemoryKept
{
public:
    // For the whole run, large blocks get mappings of their own, as the C library starts out; it
    // would otherwise move the threshold up once such a block is freed, and a document's text
    // then grows within the heap by copying, its old and new copies both in memory for a time,
    // where a mapping of its own grows in place.
    static void mapLargeBlocksApart();

    FreedMemoryKept();
    ~FreedMemoryKept();
    FreedMemoryKept(const FreedMemoryKept&) = delete;
    FreedMemoryKept& operator=(const FreedMemoryKept&) = delete;
};

} // namespace lw
