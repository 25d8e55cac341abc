// Placeholder for a core library whose folders hold no sources yet.
