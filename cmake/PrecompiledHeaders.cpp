// The one source file of each target that only builds a precompiled header
// for others (PrecompiledHeaders.cmake).
