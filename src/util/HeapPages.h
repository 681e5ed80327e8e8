#pragma once

namespace tarvik {

// Asks for the heap in large steps and for it to be backed by huge pages
// where the system offers them (Linux transparent huge pages on request).
// Analysis touches ten megabytes and more of fresh heap; a page fault per
// 4 KB page costs a tenth of its time on some virtual machines. Call once,
// early in main; elsewhere it does nothing.
void PreferHugeHeapPages();

} // namespace tarvik
