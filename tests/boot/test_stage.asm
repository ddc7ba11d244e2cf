; A stand-in for the bootstrap's next stage, written by the boot tests to the sector that the
; bootstrap should load. When it runs it reports on the debug port 0xE9
;     STAGE <label> DL=<hex>
; where <label> is the zero-terminated text at offset 0x100 of its own sector (the test writes a
; different label to each placement, so one assembled stage tells which sector was loaded) and
; <hex> is the drive number that the bootstrap handed over in DL. Then it halts.
;
; It is assembled for 0000:7E00, so a stage loaded anywhere else prints nothing useful.

        bits 16
        org 0x7E00

DEBUG_PORT      equ 0xE9
LABEL_OFFSET    equ 0x100

start:
        mov     bl, dl                  ; keep the drive number
        push    cs
        pop     ds
        cld
        mov     si, prefix
        call    put_string
        mov     si, start + LABEL_OFFSET
        call    put_string
        mov     si, drive_text
        call    put_string
        mov     al, bl
        shr     al, 4
        call    put_hex_digit
        mov     al, bl
        call    put_hex_digit
        mov     al, 10
        out     DEBUG_PORT, al
halt:
        cli
        hlt
        jmp     halt

; Sends the zero-terminated string at DS:SI to the debug port.
put_string:
        lodsb
        test    al, al
        jz      .done
        out     DEBUG_PORT, al
        jmp     put_string
.done:
        ret

; Sends the low four bits of AL as an upper-case hex digit.
put_hex_digit:
        and     al, 0x0F
        add     al, '0'
        cmp     al, '9'
        jbe     .out
        add     al, 'A' - '9' - 1
.out:
        out     DEBUG_PORT, al
        ret

prefix:         db "STAGE ", 0
drive_text:     db " DL=", 0

        times   LABEL_OFFSET - ($ - $$) db 0
