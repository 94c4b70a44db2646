// Keeps the helper library non-empty before any shared test helper exists.
