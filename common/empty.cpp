// Keeps the library buildable while it has no other source.
