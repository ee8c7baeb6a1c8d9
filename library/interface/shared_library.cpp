// The shared library's own translation unit: all of RDCOM32 lives in rdcom32_core, which is
// linked into it whole.
