// Stands in until the library's first sources arrive.
namespace { [[maybe_unused]] int placeholder; }
