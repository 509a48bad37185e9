// filled by the import engine
